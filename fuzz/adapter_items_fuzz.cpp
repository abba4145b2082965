// The adapter chooser's list from arbitrary interface and address tables, converted the way the
// IP Helper rows are: descriptions in 256-byte arrays with any declared length and no zero,
// more than 255 interfaces, more than 10 usable addresses. What the chooser then stores in its
// fixed 20-byte fields must always be a whole address text or the empty text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "config/address_check.h"
#include "fuzz/fuzz_check.h"

using namespace netsonde;

namespace {

constexpr std::size_t kDescriptionArraySize = 256;  // MIB_IFROW's bDescr
constexpr AddressKind kAnyAddressKind = 0;          // the common rules only

// A description array as the system might fill it: a few chosen bytes, then one byte repeated
// up to a chosen length (possibly the whole array, with no zero anywhere).
std::string DescriptionFrom(FuzzedDataProvider& input) {
    std::uint8_t bytes[kDescriptionArraySize] = {};
    const std::vector<std::uint8_t> head =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 16));
    const std::size_t filled = input.ConsumeIntegralInRange<std::size_t>(0, sizeof bytes);
    std::memset(bytes, input.ConsumeIntegral<std::uint8_t>(), filled);
    std::copy(head.begin(), head.end(), bytes);
    const std::uint32_t declared = input.ConsumeIntegral<std::uint32_t>();
    const std::string text = DescriptionText(bytes, sizeof bytes, declared);
    FUZZ_CHECK(text.size() <= sizeof bytes && text.size() <= declared);
    FUZZ_CHECK(text.find('\0') == std::string::npos);
    return text;
}

std::uint32_t InterfaceIndexFrom(FuzzedDataProvider& input) {
    // Mostly a few small indexes, so addresses meet their interfaces.
    return input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, 7)
                               : input.ConsumeIntegral<std::uint32_t>();
}

// An address field's text: its bytes up to the zero, never past the field.
std::string FieldText(const char (&field)[kAddressTextSize]) {
    const void* zero = std::memchr(field, '\0', sizeof field);
    FUZZ_CHECK(zero != nullptr);
    return std::string(field, static_cast<const char*>(zero));
}

void CheckBindAddress(const std::string& address) {
    FUZZ_CHECK(address.empty() ||
               (address.size() <= 15 && CheckAddressText(address.c_str(), kAnyAddressKind) == 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<InterfaceRow> interfaces(input.ConsumeIntegralInRange<std::size_t>(0, 300));
    for (InterfaceRow& row : interfaces) {
        row.index = InterfaceIndexFrom(input);
        row.description = DescriptionFrom(input);
    }
    std::vector<AddressRow> addresses(input.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (AddressRow& row : addresses) {
        const std::uint32_t value = input.ConsumeIntegral<std::uint32_t>();
        std::memcpy(row.address.data(), &value, sizeof value);
        row.interfaceIndex = InterfaceIndexFrom(input);
    }

    // One interface: the chooser decides alone.
    if (!interfaces.empty()) {
        const std::string single = SingleInterfaceAddress(interfaces.front(), addresses);
        CheckBindAddress(single);
        CopyFieldText(SelectedAdapter.addressText, single);
        FUZZ_CHECK(FieldText(SelectedAdapter.addressText) == single);
    }

    // Several: every usable address of a known interface, at most kAdapterTableEntries.
    const std::vector<AdapterItem> items = BuildAdapterItems(interfaces, addresses);
    std::size_t offered = 0;
    for (const InterfaceRow& interfaceRow : interfaces) {
        for (const AddressRow& addressRow : addresses) {
            offered += addressRow.interfaceIndex == interfaceRow.index &&
                       IsUsableAddress(addressRow.address);
        }
    }
    FUZZ_CHECK(items.size() == std::min<std::size_t>(offered, kAdapterTableEntries));
    for (std::size_t n = 0; n < items.size(); ++n) {
        const AdapterItem& item = items[n];
        CheckBindAddress(item.address);
        FUZZ_CHECK(!item.address.empty());
        FUZZ_CHECK(IsUsableAddress(ParseDottedQuad(item.address.c_str())));
        const std::string suffix = " (" + item.address + ")";
        FUZZ_CHECK(item.text.size() < kAdapterItemTextSize);
        FUZZ_CHECK(item.text.size() >= suffix.size() &&
                   item.text.compare(item.text.size() - suffix.size(), suffix.size(), suffix) == 0);
        CopyFieldText(AdapterAddressTable[n], item.address);
        FUZZ_CHECK(FieldText(AdapterAddressTable[n]) == item.address);
    }
    CopyFieldText(SelectedAdapter.addressText, FirstListedAddress(items));
    CheckBindAddress(FieldText(SelectedAdapter.addressText));

    // OK with whatever the combo box answers for its selection.
    const int selection = input.ConsumeIntegral<int>();
    if (const auto entry = ListedEntry(selection, items.size())) {
        FUZZ_CHECK(*entry < items.size() && *entry < kAdapterTableEntries);
        CopyFieldText(SelectedAdapter.addressText, FieldText(AdapterAddressTable[*entry]));
        FUZZ_CHECK(FieldText(SelectedAdapter.addressText) == items[*entry].address);
    }

    std::vector<int> widths;
    for (std::size_t n = 0; n < items.size(); ++n) {
        widths.push_back(input.ConsumeIntegralInRange<int>(0, 1 << 16));
    }
    const int scrollBar = input.ConsumeIntegralInRange<int>(0, 1 << 10);
    const int width = DroppedWidth(widths, scrollBar);
    FUZZ_CHECK(width >= kMinDroppedWidth);
    for (int textWidth : widths) {
        FUZZ_CHECK(width >= textWidth + scrollBar);
    }
    return 0;
}
