// The local address every socket binds to, and the adapter chooser's process-wide state.
#pragma once

#include <cstdint>

namespace netsonde {

constexpr int kAddressTextSize = 20;   // dotted IPv4 text (at most 15 characters) and its zero
constexpr int kAdapterTableEntries = 10;

struct SelectedAdapterState {
    // Dotted IPv4 text of the local address to bind to; empty binds to any local address.
    char addressText[kAddressTextSize] = {};
    // 1 once the operator has confirmed a choice with OK; never goes back to 0.
    std::int32_t choiceConfirmed = 0;
};

extern SelectedAdapterState SelectedAdapter;

// Entry k holds the address shown at position k of the chooser's list at its latest opening.
extern char AdapterAddressTable[kAdapterTableEntries][kAddressTextSize];

// Set at start and by "Select Adapter": the next scan runs the chooser first, then clears it.
extern std::uint8_t AdapterChooserPending;

}  // namespace netsonde
