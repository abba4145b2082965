// The adapter chooser's decisions and its hold on SelectedAdapter; see adapter_chooser.h.
#include "adapter/adapter_chooser.h"

namespace netsonde {

ChooserOpening AdapterChooser::Open(const AdapterTableReader& readTables) {
    before_ = FieldText(selected_.addressText);
    items_.clear();
    listed_ = 0;
    AdapterTables tables;
    if (!readTables(&tables)) {
        return ChooserOpening::DetectionError;
    }
    if (tables.interfaces.empty()) {
        return ChooserOpening::NoAdapters;
    }
    if (tables.interfaces.size() == 1) {
        // Nothing to choose: the one interface's first usable address, or any local address
        // when it has none (a workstation with only its loopback interface).
        CopyFieldText(selected_.addressText,
                      SingleInterfaceAddress(tables.interfaces.front(), tables.addresses));
        selected_.choiceConfirmed = 1;
        return ChooserOpening::ChosenAlone;
    }
    items_ = BuildAdapterItems(tables.interfaces, tables.addresses);
    return ChooserOpening::ShowList;
}

void AdapterChooser::Listed(std::size_t count) {
    if (count < items_.size()) {
        items_.resize(count);
    }
    for (std::size_t n = 0; n < items_.size(); ++n) {
        CopyFieldText(addressTable_[n], items_[n].address);
    }
    listed_ = items_.size();
    CopyFieldText(selected_.addressText, FirstListedAddress(items_));
}

void AdapterChooser::Confirm(int selection) {
    if (const auto entry = ListedEntry(selection, listed_)) {
        CopyFieldText(selected_.addressText, FieldText(addressTable_[*entry]));
    }
    selected_.choiceConfirmed = 1;
}

bool AdapterChooser::Cancel() {
    if (selected_.choiceConfirmed == 0) {
        return false;
    }
    CopyFieldText(selected_.addressText, before_);
    return true;
}

}  // namespace netsonde
