// The rule for starting Windows Sockets once per process, apart from the Winsock calls
// themselves so that it can be tested natively: ask for version 1.1, accept exactly 1.1, undo a
// start that granted anything else, and start only once however often the start is requested.
#pragma once

#include <cstdint>

namespace netsonde {

// The version word asked for and the only one accepted: major 1 in the low byte, minor 1 in the
// high byte.
constexpr std::uint16_t kSocketsVersion11 = 0x0101;

// The two platform calls the rule needs.
struct SocketsStartCalls {
    // Starts the library asking for `requested`; stores the granted version and answers 0 on
    // success, an error code otherwise.
    int (*startup)(std::uint16_t requested, std::uint16_t* granted);
    // Undoes one successful startup.
    void (*cleanup)();
};

class SocketsStartOnce {
  public:
    // True when the sockets are running at version 1.1: started now, or by an earlier success.
    // A failed start leaves nothing running and may be retried.
    bool Start(const SocketsStartCalls& calls);
    // Undoes the start if one succeeded; the next Start starts again.
    void Stop(const SocketsStartCalls& calls);
    bool started() const { return started_; }

  private:
    bool started_ = false;
};

}  // namespace netsonde
