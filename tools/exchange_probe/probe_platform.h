// What the exchange probe needs from its platform before it may send anything: the sockets
// library started, and proof that it runs inside the network lab and nowhere else.
#pragma once

#include <string>

namespace netsonde {

// True when the probe may send; otherwise false with the reason in *why.
bool PrepareProbePlatform(std::string* why);

}  // namespace netsonde
