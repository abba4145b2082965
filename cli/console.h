// The command-line program's messages and files: errors and notes on standard error with the
// program's name, and whole text files read and written as bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

namespace netsonde::cli {

constexpr const char* kProgramName = "netsonde-cli";
constexpr const char* kProgramVersion = "2.7.2";

// "netsonde-cli: text" on standard error, control characters shown as \xHH: a message may quote
// a device's text.
void Complain(const std::string& text);

// The most a file the program reads (a plan, a saved scan) may hold: a saved scan of the most
// devices a scan keeps, with every text full, stays well below it.
constexpr std::size_t kMaxReadFileBytes = 64u << 20;

// The whole file; refused, with *error set, when it holds more than kMaxReadFileBytes.
bool ReadTextFile(const std::string& path, std::string* text, std::string* error);
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error);
// The same for a text written in pieces by write, never held whole.
bool WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write,
                   std::string* error);

// A message of the Change dialog as one line: its trailing line breaks dropped and any inner
// "\r\n" shown as ": ".
std::string OneLine(const std::string& message);

}  // namespace netsonde::cli
