// What the command-line program needs of its platform beyond the portable core: starting the
// sockets library, the Ctrl+C flag, the console's character set and, on Linux, whether sockets
// may be bound to an interface.
#pragma once

#include <string>
#include <vector>

#include "cli/local_adapters.h"

namespace netsonde::cli {

// Winsock on Windows (nothing to do elsewhere). False with *error set on failure.
bool StartSockets(std::string* error);
void StopSockets();

// From now on Ctrl+C only sets a flag that Interrupted() reads; the program ends itself cleanly.
void InstallInterruptHandler();
bool Interrupted();

// UTF-8 output on a Windows console; nothing elsewhere.
void PrepareConsole();

// Empty when the program may bind its sockets to the interfaces of these adapters; otherwise
// one line saying what is missing and what to do. Without that binding a Linux socket never
// hears replies broadcast to 255.255.255.255, so a scan would come back silently empty.
std::string BindPrivilegeProblem(const std::vector<LocalAdapter>& adapters);

}  // namespace netsonde::cli
