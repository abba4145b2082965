// The native probe may send only inside a network namespace that the lab created.
#include "tools/exchange_probe/probe_platform.h"
#include "tools/lab_guard.h"

namespace netsonde {

bool PrepareProbePlatform(std::string* why) {
    return lab::InsideLabNamespace(why);
}

}  // namespace netsonde
