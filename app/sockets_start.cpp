// Starting Windows Sockets version 1.1 exactly once; see sockets_start.h.
#include "app/sockets_start.h"

namespace netsonde {

bool SocketsStartOnce::Start(const SocketsStartCalls& calls) {
    if (started_) {
        return true;
    }
    std::uint16_t granted = 0;
    if (calls.startup(kSocketsVersion11, &granted) != 0) {
        // A failed startup has nothing to undo.
        return false;
    }
    if (granted != kSocketsVersion11) {
        calls.cleanup();
        return false;
    }
    started_ = true;
    return true;
}

void SocketsStartOnce::Stop(const SocketsStartCalls& calls) {
    if (started_) {
        calls.cleanup();
        started_ = false;
    }
}

}  // namespace netsonde
