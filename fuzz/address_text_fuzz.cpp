// Address texts as the operator could type or paste them, up to 1000 characters: the check must
// read no byte past the text's zero (nor past its 255-character limit), and what it accepts must
// convert to four bytes whose own text it accepts again for the same kind.
#include <cstdint>
#include <string>
#include <vector>

#include "config/address_check.h"
#include "protocol/text_forms.h"
#include "fuzz/fuzz_check.h"

using namespace netsonde;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 1001) {
        return -1;  // the first byte picks the kind; the text is at most 1000 characters
    }
    const AddressKind kind = data[0];
    // An exactly sized copy, so any read past the zero is caught.
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char* cText = text.c_str();

    const int verdict = CheckAddressText(cText, kind);
    FUZZ_CHECK(verdict == 0 || verdict == 1);
    const Ipv4Bytes bytes = ParseDottedQuad(cText);
    if (verdict == 1) {
        FUZZ_CHECK(std::char_traits<char>::length(cText) <= kMaxCheckedAddressText);
        const std::string canonical = FormatIpText(bytes);
        FUZZ_CHECK(CheckAddressText(canonical.c_str(), kind) == 1);
        FUZZ_CHECK(ParseDottedQuad(canonical.c_str()) == bytes);
        if (kind == HostAddressKind) {
            FUZZ_CHECK(bytes[0] != 0 && bytes[0] != 255);
        }
    }
    // A long text in a buffer with no zero at all: the check stops at its limit, refusing it,
    // and reads nothing beyond.
    if (text.size() > kMaxCheckedAddressText) {
        const std::vector<char> unterminated(text.begin(),
                                             text.begin() + kMaxCheckedAddressText + 1);
        const int longVerdict = CheckAddressText(unterminated.data(), kind);
        FUZZ_CHECK(std::char_traits<char>::length(cText) <= kMaxCheckedAddressText ||
                   longVerdict == 0);
    }
    return 0;
}
