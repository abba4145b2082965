// Texts the program did not make itself (Linux interface and file names are bytes, not UTF-8)
// made valid UTF-8 before they go into JSON or onto a console.
#pragma once

#include <string>
#include <string_view>

namespace netsonde::cli {

// The text with every byte that does not start or continue a well-formed UTF-8 sequence
// (overlong forms, surrogates and values beyond U+10FFFF included) replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace netsonde::cli
