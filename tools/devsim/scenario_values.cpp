// Conversions of scenario value texts; strict, so that a typo is an error and not a surprise.
#include "tools/devsim/scenario_values.h"

#include "tools/hex_digit.h"

#include <array>
#include <cctype>

namespace devsim {
namespace {

using netsonde::HexDigit;

bool ParseDigits(std::string_view text, unsigned base, std::uint64_t maxValue,
                 std::uint64_t* value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    std::uint64_t result = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) {
            return false;
        }
        if (result > (maxValue - static_cast<std::uint64_t>(digit)) / base) {
            return false;
        }
        result = result * base + static_cast<std::uint64_t>(digit);
    }
    *value = result;
    return true;
}

// Adds an offset to bytes read as one big-endian number; false when the sum does not fit.
template <std::size_t N>
bool OffsetBytes(const std::array<std::uint8_t, N>& base, std::uint64_t offset,
                 std::array<std::uint8_t, N>* out) {
    static_assert(N < 8, "the sum must fit in 64 bits");
    std::uint64_t value = 0;
    for (std::uint8_t byte : base) {
        value = value << 8 | byte;
    }
    const std::uint64_t top = (std::uint64_t{1} << (8 * N)) - 1;
    if (offset > top - value) {
        return false;
    }
    value += offset;
    for (std::size_t i = N; i-- > 0;) {
        (*out)[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
    return true;
}

}  // namespace

bool ParseUnsigned(std::string_view text, std::uint64_t maxValue, std::uint64_t* value) {
    return ParseDigits(text, 10, maxValue, value);
}

bool ParseNumber(std::string_view text, std::uint64_t maxValue, std::uint64_t* value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16, maxValue, value);
    }
    return ParseDigits(text, 10, maxValue, value);
}

bool ParseMac(std::string_view text, netsonde::MacBytes* mac) {
    if (text.size() != 17) {
        return false;
    }
    const char separator = text[2];
    if (separator != ':' && separator != '-') {
        return false;
    }
    netsonde::MacBytes result{};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = i * 3;
        if (i > 0 && text[at - 1] != separator) {
            return false;
        }
        const int high = HexDigit(text[at]);
        const int low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        result[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    *mac = result;
    return true;
}

bool ParseIpv4(std::string_view text, netsonde::Ipv4Bytes* address) {
    netsonde::Ipv4Bytes result{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t dot = i < 3 ? text.find('.', start) : text.size();
        if (dot == std::string_view::npos) {
            return false;
        }
        const std::string_view part = text.substr(start, dot - start);
        std::uint64_t number = 0;
        if (part.size() > 3 || !ParseUnsigned(part, 255, &number)) {
            return false;
        }
        result[i] = static_cast<std::uint8_t>(number);
        start = dot + 1;
    }
    *address = result;
    return true;
}

bool UnescapeText(std::string_view text, std::string* out) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            result += '\\';
            ++i;
            continue;
        }
        if (i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = HexDigit(text[i + 2]);
            const int low = HexDigit(text[i + 3]);
            if (high >= 0 && low >= 0) {
                result += static_cast<char>(high << 4 | low);
                i += 3;
                continue;
            }
        }
        return false;
    }
    *out = result;
    return true;
}

bool ParseLinkRate(std::string_view text, std::uint64_t* bitsPerSecond) {
    if (text == "none") {
        *bitsPerSecond = 0;
        return true;
    }
    std::uint64_t unit = 1;
    if (!text.empty()) {
        switch (std::tolower(static_cast<unsigned char>(text.back()))) {
            case 'k':
                unit = 1000;
                break;
            case 'm':
                unit = 1000 * 1000;
                break;
            case 'g':
                unit = 1000 * 1000 * 1000;
                break;
            default:
                break;
        }
    }
    if (unit != 1) {
        text.remove_suffix(1);
    }
    std::uint64_t number = 0;
    // Up to 100 Gbit/s; a rate of zero is "none", written as such.
    if (!ParseUnsigned(text, 100000000000ull / unit, &number) || number == 0) {
        return false;
    }
    *bitsPerSecond = number * unit;
    return true;
}

bool OffsetMac(const netsonde::MacBytes& base, std::uint64_t offset, netsonde::MacBytes* out) {
    return OffsetBytes(base, offset, out);
}

bool OffsetIpv4(const netsonde::Ipv4Bytes& base, std::uint64_t offset, netsonde::Ipv4Bytes* out) {
    return OffsetBytes(base, offset, out);
}

}  // namespace devsim
