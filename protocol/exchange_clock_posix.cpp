// The calendar clock of the native build: time() for the whole seconds that bound receive
// windows, CLOCK_REALTIME for how long is left of the current one.
#include <time.h>

#include "protocol/platform_socket.h"

namespace netsonde {
namespace {

class PosixClock : public ExchangeClock {
  public:
    std::time_t Now() override { return std::time(nullptr); }

    int MillisecondsToNextSecond() override {
        timespec precise{};
        if (clock_gettime(CLOCK_REALTIME, &precise) != 0) {
            return 1;
        }
        // time() may lag the precise clock by a tick around the turn of a second; until both
        // agree, only a short wait keeps the window from overrunning.
        if (precise.tv_sec != std::time(nullptr)) {
            return 1;
        }
        return 1000 - static_cast<int>(precise.tv_nsec / 1000000);
    }
};

}  // namespace

ExchangeClock& PlatformClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace netsonde
