// The password from its sources through the platform's readers; see command_password.h.
#include "cli/command_password.h"

#include "cli/console.h"
#include "cli/platform.h"

namespace netsonde::cli {

bool TakePassword(const PasswordOptions& options, std::optional<std::string>* password) {
    if (*password) {
        Complain(kPasswordOptionWarning);
    }
    const PasswordInputs inputs{OpenFile, ReadStandardInputLine, EnvironmentText};
    std::string error;
    const std::optional<std::string> given = *password;
    if (!ResolvePassword(given, options, inputs, password, &error)) {
        Complain(error);
        return false;
    }
    return true;
}

}  // namespace netsonde::cli
