// The password of set and apply taken from where the user put it, with what the platform reads.
#pragma once

#include <optional>
#include <string>

#include "cli/password_source.h"

namespace netsonde::cli {

// *password holds --password's text, if given (which earns a warning on standard error); it
// then holds the password to send, or none. False, said on standard error, when a file or
// standard input could not give one.
bool TakePassword(const PasswordOptions& options, std::optional<std::string>* password);

}  // namespace netsonde::cli
