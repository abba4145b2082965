// UTF-16, ANSI and UTF-8 conversions through the Win32 calls; see text_convert_win.h.
#include "cli/text_convert_win.h"

#include <windows.h>

namespace netsonde::cli {
namespace {

// Bytes in a code page as UTF-16; what the code page cannot hold becomes U+FFFD.
std::wstring Widen(UINT codePage, std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int size =
        text.empty() ? 0 : MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
    }
    return wide;
}

}  // namespace

std::string Utf16ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    }
    return utf8;
}

std::wstring Utf8ToUtf16(std::string_view text) {
    return Widen(CP_UTF8, text);
}

std::string AnsiToUtf8(std::string_view text) {
    return Utf16ToUtf8(Widen(CP_ACP, text));
}

}  // namespace netsonde::cli
