// The local address every socket binds to, and the adapter chooser's process-wide state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace netsonde {

constexpr int kAddressTextSize = 20;  // dotted IPv4 text (at most 15 characters) and its zero
constexpr int kAdapterTableEntries = 10;

struct SelectedAdapterState {
    // Dotted IPv4 text of the local address to bind to; empty binds to any local address.
    char addressText[kAddressTextSize] = {};
    // 1 once a choice is confirmed: by OK, or made alone with a single interface row. A later
    // opening's Cancel then keeps the program running. Never goes back to 0.
    std::int32_t choiceConfirmed = 0;
};

extern SelectedAdapterState SelectedAdapter;

// Entry k holds the address shown at position k of the chooser's list at its latest opening.
extern char AdapterAddressTable[kAdapterTableEntries][kAddressTextSize];

// Set at start and by "Select Adapter": the next scan runs the chooser first, then clears it.
extern std::uint8_t AdapterChooserPending;

// A fixed text field as text: up to its first zero byte, never past its end.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* zero = std::memchr(field, '\0', N);
    return std::string(field, zero != nullptr
                                  ? static_cast<std::size_t>(static_cast<const char*>(zero) - field)
                                  : N);
}

}  // namespace netsonde
