// The calendar clock of the Windows build: time() for the whole seconds that bound receive
// windows, the system file time for how long is left of the current one.
#include <windows.h>

#include <ctime>

#include "protocol/platform_socket.h"

namespace netsonde {
namespace {

constexpr unsigned long long kFileTimeTicksPerSecond = 10000000ULL;  // 100 ns ticks
constexpr unsigned long long kFileTimeTicksPerMillisecond = 10000ULL;
constexpr unsigned long long kSecondsFrom1601To1970 = 11644473600ULL;

class WindowsClock : public ExchangeClock {
  public:
    std::time_t Now() override { return std::time(nullptr); }

    int MillisecondsToNextSecond() override {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const unsigned long long ticks =
            (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        const unsigned long long seconds = ticks / kFileTimeTicksPerSecond;
        // Until time() shows the same second as the file time, only wait a moment.
        if (seconds < kSecondsFrom1601To1970 ||
            static_cast<std::time_t>(seconds - kSecondsFrom1601To1970) != std::time(nullptr)) {
            return 1;
        }
        return 1000 - static_cast<int>((ticks / kFileTimeTicksPerMillisecond) % 1000);
    }
};

}  // namespace

ExchangeClock& PlatformClock() {
    static WindowsClock clock;
    return clock;
}

}  // namespace netsonde
