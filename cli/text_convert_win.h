// Text between Windows' forms and the UTF-8 the program works in: UTF-16 (the command line, file
// names, the environment, the console) and the ANSI code page (the adapter descriptions).
#pragma once

#include <string>
#include <string_view>

namespace netsonde::cli {

// Unpaired surrogates become U+FFFD: the result is always valid UTF-8.
std::string Utf16ToUtf8(std::wstring_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::wstring Utf8ToUtf16(std::string_view text);
// Bytes in the ANSI code page, as UTF-8.
std::string AnsiToUtf8(std::string_view text);

}  // namespace netsonde::cli
