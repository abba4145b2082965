// The adapter chooser's list, built from the workstation's interface and IPv4 address tables:
// which addresses are offered, in which order and with which item texts, plus the few rules the
// chooser applies to that list. Pure functions of plain rows, so they build and test anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adapter/selected_adapter.h"
#include "protocol/device_record.h"

namespace netsonde {

// One row of the interface table: its index and its description as text.
struct InterfaceRow {
    std::uint32_t index = 0;
    std::string description;
};

// One row of the IPv4 address table: the address (first number first) and its interface.
struct AddressRow {
    Ipv4Bytes address = {};
    std::uint32_t interfaceIndex = 0;
};

// One entry of the chooser: the dotted address text and the combo item text.
struct AdapterItem {
    std::string address;
    std::string text;
};

// Room of one combo item text, terminating zero included.
constexpr std::size_t kAdapterItemTextSize = 256;

// Narrowest drop-down list of the chooser, in pixels.
constexpr int kMinDroppedWidth = 100;

// The description held in a fixed byte array that also carries a length: the text up to the
// first zero byte, never reaching past the declared length or the array's own size.
std::string DescriptionText(const std::uint8_t* bytes, std::size_t arraySize,
                            std::uint32_t declaredLength);

// True for an address the chooser offers: not 0.0.0.0 and not 127.0.0.1.
bool IsUsableAddress(const Ipv4Bytes& address);

// "description (address)", shortened to fit kAdapterItemTextSize with its zero. Only the
// description is cut, so the " (address)" part always stays whole.
std::string AdapterItemText(std::string_view description, std::string_view address);

// A usable address and the description of its interface.
struct UsableAddress {
    std::string address;
    std::string interfaceDescription;
};

// Every usable address in the chooser's order: for every interface row in table order, every
// usable address of that interface in address-table order; addresses of unknown interfaces are
// left out. No limit on the count.
std::vector<UsableAddress> ListUsableAddresses(const std::vector<InterfaceRow>& interfaces,
                                               const std::vector<AddressRow>& addresses);

// The chooser's items: for every interface row in table order, every usable address of that
// interface in address-table order. Addresses of unknown interfaces are left out. At most
// kAdapterTableEntries items: later usable addresses are not offered.
std::vector<AdapterItem> BuildAdapterItems(const std::vector<InterfaceRow>& interfaces,
                                           const std::vector<AddressRow>& addresses);

// The bind address when the interface table has exactly one row: its first usable address, or
// the empty text (any local address) when it has none.
std::string SingleInterfaceAddress(const InterfaceRow& interfaceRow,
                                   const std::vector<AddressRow>& addresses);

// The address in effect once the list is filled: the first item's, or the empty text (any local
// address) when nothing is listed, rather than an address an earlier opening left behind.
std::string FirstListedAddress(const std::vector<AdapterItem>& items);

// The table entry OK puts in effect for combo selection `selection` out of `itemCount` listed
// items, or nothing when the selection names no listed entry (CB_ERR = -1 with an empty list):
// the address in effect then stays as it is.
std::optional<std::size_t> ListedEntry(int selection, std::size_t itemCount);

// Width of the drop-down list: at least kMinDroppedWidth, and wide enough for every measured
// item text plus the vertical scroll bar.
int DroppedWidth(const std::vector<int>& textWidths, int scrollBarWidth);

// Copies `text` into a fixed text field, cut to fit and always zero-terminated.
template <std::size_t N>
void CopyFieldText(char (&field)[N], std::string_view text) {
    static_assert(N > 0, "a text field needs room for its zero");
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, length);
    field[length] = '\0';
}

}  // namespace netsonde
