// Where set and apply take the password from, so that it need not stand on a command line that
// every user of the machine can see: --password-file, --password-stdin or the NETSONDE_PASSWORD
// environment variable; --password itself still works.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace netsonde::cli {

constexpr const char* kPasswordVariable = "NETSONDE_PASSWORD";

struct PasswordOptions {
    std::string file;        // --password-file
    bool fromStdin = false;  // --password-stdin
};

// How the platform reads each source (platform.h gives the real ones).
struct PasswordInputs {
    std::function<std::FILE*(const std::string& path, const char* mode)> openFile;
    std::function<bool(std::string* line, std::size_t limit)> standardInputLine;
    std::function<std::optional<std::string>(const char* name)> environment;
};

// The first line of a file without its line break ("\n" or "\r\n"), at most `limit` bytes of
// it kept. False when the file holds nothing at all.
bool ReadFirstLine(std::FILE* file, std::string* line, std::size_t limit);

// The password to send: `given` (--password) when set, else the first line of the file, else of
// standard input, else the environment variable, else none (the Change dialog's empty password).
// False with *error set when a file cannot be read, or a file or standard input holds no line:
// an empty source is more likely a mistake than a wish to clear the device's password.
bool ResolvePassword(const std::optional<std::string>& given, const PasswordOptions& options,
                     const PasswordInputs& inputs, std::optional<std::string>* password,
                     std::string* error);

// The warning --password earns.
extern const char* const kPasswordOptionWarning;

}  // namespace netsonde::cli
