// The password's sources and their order; see password_source.h.
#include "cli/password_source.h"

#include <cerrno>
#include <cstring>

namespace netsonde::cli {
namespace {

// Far more than the 31 characters a device stores: a longer line is refused by the length check
// that follows, not cut here into something else.
constexpr std::size_t kLineLimit = 1024;

}  // namespace

const char* const kPasswordOptionWarning =
    "warning: --password shows the password to every user of this machine and keeps it in the "
    "shell's history; use --password-file, --password-stdin or NETSONDE_PASSWORD";

bool ReadFirstLine(std::FILE* file, std::string* line, std::size_t limit) {
    line->clear();
    bool any = false;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (line->size() < limit) {
            line->push_back(static_cast<char>(c));
        }
    }
    if (!line->empty() && line->back() == '\r') {
        line->pop_back();
    }
    return any;
}

bool ResolvePassword(const std::optional<std::string>& given, const PasswordOptions& options,
                     const PasswordInputs& inputs, std::optional<std::string>* password,
                     std::string* error) {
    std::string line;
    if (given) {
        *password = given;
    } else if (!options.file.empty()) {
        std::FILE* file = inputs.openFile(options.file, "rb");
        if (file == nullptr) {
            *error = "--password-file " + options.file + ": " + std::strerror(errno);
            return false;
        }
        const bool any = ReadFirstLine(file, &line, kLineLimit);
        std::fclose(file);
        if (!any) {
            *error = "--password-file " + options.file + " is empty";
            return false;
        }
        *password = line;
    } else if (options.fromStdin) {
        if (!inputs.standardInputLine(&line, kLineLimit)) {
            *error = "--password-stdin: standard input ended before a line was read";
            return false;
        }
        *password = line;
    } else {
        *password = inputs.environment(kPasswordVariable);
    }
    return true;
}

}  // namespace netsonde::cli
