// The command-line program's messages and files: errors and notes on standard error with the
// program's name, and whole text files read and written as bytes.
#pragma once

#include <string>

namespace netsonde::cli {

constexpr const char* kProgramName = "netsonde-cli";
constexpr const char* kProgramVersion = "2.7.2";

// "netsonde-cli: text" on standard error, control characters shown as \xHH: a message may quote
// a device's text.
void Complain(const std::string& text);

bool ReadTextFile(const std::string& path, std::string* text, std::string* error);
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error);

// A message of the Change dialog as one line: its trailing line breaks dropped and any inner
// "\r\n" shown as ": ".
std::string OneLine(const std::string& message);

}  // namespace netsonde::cli
