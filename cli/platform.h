// What the command-line program needs of its platform beyond the portable core: the command
// line and file names as UTF-8, starting the sockets library, the Ctrl+C flag, the console's
// character set, the environment, standard input, file permissions and, on Linux, whether
// sockets may be bound to an interface.
#pragma once

#include <cstdio>
#include <optional>
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

// The arguments as UTF-8. Windows hands a narrow main its command line in the ANSI code page,
// which cannot hold every name; there it is read again as UTF-16 and converted.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// UTF-8 output on a Windows console; nothing elsewhere. RestoreConsole gives the console back the
// code page it had; it runs on every way out (return, Ctrl+C, the console window closed) and
// may run more than once.
void PrepareConsole();
void RestoreConsole();

// fopen for a UTF-8 file name (on Windows through the UTF-16 name, so any name opens).
std::FILE* OpenFile(const std::string& path, const char* mode);

// An environment variable's value as UTF-8, or nothing when it is not set.
std::optional<std::string> EnvironmentText(const char* name);

// One line of standard input without its line break (at most `limit` bytes kept); false when
// standard input ends before anything was read. A Windows console is read as UTF-16.
bool ReadStandardInputLine(std::string* line, std::size_t limit);

// True when users other than the file's owner may read it (group or other read bits); false
// where that cannot be told from the mode (Windows ACLs).
bool OthersMayRead(const std::string& path);

// Empty when the program may bind its sockets to the interfaces of these adapters; otherwise
// one line saying what is missing and what to do. Without that binding a Linux socket never
// hears replies broadcast to 255.255.255.255, so a scan would come back silently empty.
std::string BindPrivilegeProblem(const std::vector<LocalAdapter>& adapters);

}  // namespace netsonde::cli
