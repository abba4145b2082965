// Messages on standard error and whole-file reads and writes; see console.h.
#include "cli/console.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "protocol/text_escapes.h"

namespace netsonde::cli {

void Complain(const std::string& text) {
    std::cout.flush();
    std::cerr << kProgramName << ": " << TerminalText(text) << std::endl;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !(out << text) || !(out.flush())) {
        *error = path + ": cannot write: " + std::strerror(errno);
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
