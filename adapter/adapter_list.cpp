// Builds the adapter chooser's list and applies its rules; see adapter_list.h.
#include "adapter/adapter_list.h"

#include <algorithm>
#include <utility>

#include "protocol/text_forms.h"

namespace netsonde {

std::string DescriptionText(const std::uint8_t* bytes, std::size_t arraySize,
                            std::uint32_t declaredLength) {
    if (bytes == nullptr) {
        return std::string();
    }
    const std::size_t bound = std::min<std::size_t>(arraySize, declaredLength);
    const std::uint8_t* end = std::find(bytes, bytes + bound, std::uint8_t{0});
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
}

bool IsUsableAddress(const Ipv4Bytes& address) {
    static constexpr Ipv4Bytes kAny = {0, 0, 0, 0};
    static constexpr Ipv4Bytes kLoopback = {127, 0, 0, 1};
    return address != kAny && address != kLoopback;
}

std::string AdapterItemText(std::string_view description, std::string_view address) {
    std::string suffix = " (";
    suffix.append(address);
    suffix += ')';
    constexpr std::size_t kMaxLength = kAdapterItemTextSize - 1;
    if (suffix.size() >= kMaxLength) {
        // Only an address text far beyond a dotted quad gets here; keep what fits.
        return suffix.substr(0, kMaxLength);
    }
    const std::size_t room = kMaxLength - suffix.size();
    std::string text(description.substr(0, room));
    text += suffix;
    return text;
}

std::vector<UsableAddress> ListUsableAddresses(const std::vector<InterfaceRow>& interfaces,
                                               const std::vector<AddressRow>& addresses) {
    std::vector<UsableAddress> usable;
    for (const InterfaceRow& interfaceRow : interfaces) {
        for (const AddressRow& addressRow : addresses) {
            if (addressRow.interfaceIndex == interfaceRow.index &&
                IsUsableAddress(addressRow.address)) {
                usable.push_back({FormatIpText(addressRow.address), interfaceRow.description});
            }
        }
    }
    return usable;
}

std::vector<AdapterItem> BuildAdapterItems(const std::vector<InterfaceRow>& interfaces,
                                           const std::vector<AddressRow>& addresses) {
    std::vector<AdapterItem> items;
    for (const UsableAddress& usable : ListUsableAddresses(interfaces, addresses)) {
        if (items.size() == static_cast<std::size_t>(kAdapterTableEntries)) {
            break;
        }
        items.push_back(
            {usable.address, AdapterItemText(usable.interfaceDescription, usable.address)});
    }
    return items;
}

std::string SingleInterfaceAddress(const InterfaceRow& interfaceRow,
                                   const std::vector<AddressRow>& addresses) {
    for (const AddressRow& addressRow : addresses) {
        if (addressRow.interfaceIndex == interfaceRow.index &&
            IsUsableAddress(addressRow.address)) {
            return FormatIpText(addressRow.address);
        }
    }
    return std::string();
}

std::string FirstListedAddress(const std::vector<AdapterItem>& items) {
    return items.empty() ? std::string() : items.front().address;
}

std::optional<std::size_t> ListedEntry(int selection, std::size_t itemCount) {
    if (selection < 0 || static_cast<std::size_t>(selection) >= itemCount ||
        selection >= kAdapterTableEntries) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selection);
}

int DroppedWidth(const std::vector<int>& textWidths, int scrollBarWidth) {
    int width = kMinDroppedWidth;
    for (int textWidth : textWidths) {
        width = std::max(width, textWidth + scrollBarWidth);
    }
    return width;
}

}  // namespace netsonde
