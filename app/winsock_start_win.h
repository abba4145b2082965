// Starting Windows Sockets 1.1 once per process, and stopping them at the end of the run.
#pragma once

namespace netsonde {

// Starts Windows Sockets asking for version 1.1 and accepts exactly 1.1 (anything else is
// cleaned up and fails). A later call after a success succeeds without starting again.
bool StartWindowsSockets();

// Undoes a successful StartWindowsSockets (WSACleanup); does nothing otherwise.
void StopWindowsSockets();

}  // namespace netsonde
