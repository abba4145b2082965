// Process-wide adapter state.
#include "adapter/selected_adapter.h"

namespace netsonde {

SelectedAdapterState SelectedAdapter;
char AdapterAddressTable[kAdapterTableEntries][kAddressTextSize] = {};
std::uint8_t AdapterChooserPending = 1;

}  // namespace netsonde
