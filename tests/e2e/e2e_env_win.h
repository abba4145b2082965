// What the end-to-end test programs learn from their surroundings: where they and Netsonde.exe
// are, and the files the runner names through the environment (simulator log, browser log).
#pragma once

#include <string>

namespace e2e {

// Directory of the running test program, with a trailing backslash.
std::string ProgramDir();

// The variable's value, or fallback when it is unset or empty.
std::string EnvOr(const char* name, const std::string& fallback = std::string());

// A Unix path as Wine shows it on drive Z: ("/tmp/a" gives "Z:\tmp\a"); other paths unchanged.
std::string WinePath(const std::string& path);

// Netsonde.exe under test: NETSONDE_EXE, or the one beside the Windows build's test folder.
std::string NetsondeExe();

// The whole content of a file (empty when it cannot be read).
std::string ReadFileText(const std::string& path);

}  // namespace e2e
