// Address text checks and the dotted-text to record-bytes conversion; see address_check.h.
#include "config/address_check.h"

namespace netsonde {

namespace {

constexpr int kGroups = 4;
constexpr std::int32_t kUnwritten = -1;
// A group's value is never accumulated past this: any larger value is out of range anyway,
// and stopping here keeps a long run of digits from overflowing.
constexpr std::int32_t kOutOfRange = 256;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of text, or kMaxCheckedAddressText + 1 when it is longer than the check looks at.
std::size_t BoundedLength(const char* text) {
    std::size_t length = 0;
    while (length <= kMaxCheckedAddressText && text[length] != '\0') {
        ++length;
    }
    return length;
}

bool IsContiguousMask(std::uint32_t value) {
    int shifts = 0;
    while ((value & 0x80000000u) != 0 && shifts < 32) {
        value <<= 1;
        ++shifts;
    }
    return value == 0;
}

}  // namespace

int CheckAddressText(const char* text, AddressKind kind) {
    if (text == nullptr) {
        return 0;
    }
    const std::size_t length = BoundedLength(text);
    if (length == 0 || length > kMaxCheckedAddressText) {
        return 0;
    }
    if (text[0] == '.' || text[length - 1] == '.') {
        return 0;
    }

    std::int32_t octets[kGroups] = {kUnwritten, kUnwritten, kUnwritten, kUnwritten};
    int group = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '.') {
            if (octets[group] == kUnwritten) {
                return 0;  // two dots in a row: an empty group
            }
            if (group == kGroups - 1) {
                return 0;  // a fifth group has nowhere to go
            }
            ++group;
            continue;
        }
        if (!IsDigit(c)) {
            return 0;
        }
        std::int32_t& octet = octets[group];
        if (octet == kUnwritten) {
            octet = 0;
        }
        if (octet < kOutOfRange) {
            octet = octet * 10 + (c - '0');
            if (octet > kOutOfRange) {
                octet = kOutOfRange;
            }
        }
    }

    for (std::int32_t octet : octets) {
        if (octet < 0 || octet > 255) {
            return 0;  // a group that never got a digit, or a value above 255
        }
    }

    if (kind == HostAddressKind && (octets[0] == 0 || octets[0] == 255)) {
        return 0;
    }
    if (kind == SubnetMaskKind) {
        const std::uint32_t value = static_cast<std::uint32_t>(octets[0]) << 24 |
                                    static_cast<std::uint32_t>(octets[1]) << 16 |
                                    static_cast<std::uint32_t>(octets[2]) << 8 |
                                    static_cast<std::uint32_t>(octets[3]);
        if (!IsContiguousMask(value)) {
            return 0;
        }
    }
    return 1;
}

namespace {

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one "%d" at *cursor: optional blanks, an optional sign, at least one digit. Gives the
// number modulo 256 (so no run of digits can overflow) and false when no digit is there.
bool ReadNumberModulo256(const char** cursor, std::uint8_t* value) {
    const char* p = *cursor;
    while (IsScanSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!IsDigit(*p)) {
        return false;
    }
    unsigned residue = 0;
    while (IsDigit(*p)) {
        residue = (residue * 10 + static_cast<unsigned>(*p - '0')) % 256;
        ++p;
    }
    *value = static_cast<std::uint8_t>(negative ? (256 - residue) % 256 : residue);
    *cursor = p;
    return true;
}

}  // namespace

void ParseDottedQuad(const char* text, Ipv4Bytes* out) {
    if (out == nullptr) {
        return;
    }
    out->fill(0);
    if (text == nullptr) {
        return;
    }
    const char* cursor = text;
    for (int i = 0; i < kGroups; ++i) {
        if (i > 0) {
            if (*cursor != '.') {
                return;
            }
            ++cursor;
        }
        if (!ReadNumberModulo256(&cursor, &(*out)[i])) {
            return;
        }
    }
}

Ipv4Bytes ParseDottedQuad(const char* text) {
    Ipv4Bytes bytes{};
    ParseDottedQuad(text, &bytes);
    return bytes;
}

}  // namespace netsonde
