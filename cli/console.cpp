// Messages on standard error and whole-file reads and writes; see console.h.
#include "cli/console.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "protocol/text_escapes.h"

namespace netsonde::cli {

void Complain(const std::string& text) {
    std::cout.flush();
    std::cerr << kProgramName << ": " << TerminalText(text) << std::endl;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
    // A UTF-8 name; on Windows the path opens through its UTF-16 form, so any name opens.
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    // Read in pieces up to one byte past the limit, so a huge file is never held whole.
    std::string content;
    char piece[1 << 16];
    while (content.size() <= kMaxReadFileBytes && in.read(piece, sizeof piece).gcount() > 0) {
        content.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (content.size() > kMaxReadFileBytes) {
        *error =
            path + ": larger than " + std::to_string(kMaxReadFileBytes >> 20) + " MiB; not read";
        return false;
    }
    if (in.bad()) {
        *error = path + ": cannot read: " + std::strerror(errno);
        return false;
    }
    *text = std::move(content);
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
    return WriteTextFile(
        path, [&text](std::ostream& out) { out << text; }, error);
}

bool WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write,
                   std::string* error) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    if (out) {
        write(out);
    }
    if (!out || !(out.flush())) {
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
