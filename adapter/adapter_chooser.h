// One opening of the adapter chooser, apart from its dialog: from the interface and address
// tables it decides whether the chooser closes the program, decides alone or shows its list, and
// it keeps the chooser's hold on SelectedAdapter and AdapterAddressTable through OK and Cancel.
// Plain state and rows, so it builds and is tested anywhere.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/selected_adapter.h"

namespace netsonde {

// Both tables as plain rows, each in the system's order.
struct AdapterTables {
    std::vector<InterfaceRow> interfaces;
    std::vector<AddressRow> addresses;
};

// Reads both tables; false when either could not be read.
using AdapterTableReader = std::function<bool(AdapterTables*)>;

enum class ChooserOpening {
    DetectionError,  // a table could not be read: the program closes
    NoAdapters,      // the interface table has no rows: the program closes
    ChosenAlone,     // one interface row: its address is in effect and confirmed; nothing shows
    ShowList,        // two or more rows: the operator chooses among items()
};

class AdapterChooser {
  public:
    using AddressTable = char[kAdapterTableEntries][kAddressTextSize];

    AdapterChooser(SelectedAdapterState& selected, AddressTable& addressTable)
        : selected_(selected), addressTable_(addressTable) {}

    // Reads the tables and decides how this opening goes. SelectedAdapter changes only when the
    // chooser decides alone: a choice with nothing to choose from counts as confirmed, so a later
    // opening's Cancel never ends the program.
    ChooserOpening Open(const AdapterTableReader& readTables);

    // The items to offer after Open answered ShowList.
    const std::vector<AdapterItem>& items() const { return items_; }

    // The dialog holds the first `count` items at positions 0 to count - 1: they become table
    // entries 0 to count - 1, and the first of them (or any local address when there is none)
    // is in effect until OK or Cancel.
    void Listed(std::size_t count);

    // OK with combo selection `selection` (CB_ERR when nothing is selected): the selected entry,
    // if it names one, is in effect, and the choice is confirmed.
    void Confirm(int selection);

    // Cancel, Esc or the close box. False when no choice was ever confirmed: the operator
    // declined to choose and the program ends. Otherwise the address in effect before this
    // opening is in effect again.
    bool Cancel();

  private:
    SelectedAdapterState& selected_;
    AddressTable& addressTable_;
    std::string before_;
    std::vector<AdapterItem> items_;
    std::size_t listed_ = 0;
};

}  // namespace netsonde
