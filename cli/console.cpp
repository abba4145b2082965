// Messages on standard error and whole-file reads and writes; see console.h.
#include "cli/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli/platform.h"

#include "protocol/text_escapes.h"

namespace netsonde::cli {

void Complain(const std::string& text) {
    std::cout.flush();
    std::cerr << kProgramName << ": " << TerminalText(text) << std::endl;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string content;
    char buffer[65536];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        content.append(buffer, read);
    }
    const bool failed = std::ferror(file) != 0;
    const int readError = errno;
    std::fclose(file);
    if (failed) {
        *error = path + ": " + std::strerror(readError);
        return false;
    }
    *text = std::move(content);
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr) {
        *error = path + ": cannot write: " + std::strerror(errno);
        return false;
    }
    const bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        *error = path + ": cannot write: " + std::strerror(written ? errno : writeError);
        return false;
    }
    return true;
}

std::string OneLine(const std::string& message) {
    std::string line = message;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    for (std::size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n")) {
        line.replace(at, 2, ": ");
    }
    return line;
}

}  // namespace netsonde::cli
