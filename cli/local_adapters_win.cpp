// The usable IPv4 addresses of a Windows workstation: the adapter chooser's interface and
// address tables, through the chooser's own rules, with the descriptions (ANSI code page) as
// UTF-8.
#include "adapter/adapter_list.h"
#include "adapter/adapter_tables_win.h"
#include "cli/local_adapters.h"
#include "cli/text_convert_win.h"

namespace netsonde::cli {

bool ReadLocalAdapters(std::vector<LocalAdapter>* adapters, std::string* error) {
    AdapterTables tables;
    if (!ReadAdapterTables(&tables)) {
        *error = "cannot read the interface and address tables";
        return false;
    }
    for (const UsableAddress& usable : ListUsableAddresses(tables.interfaces, tables.addresses)) {
        adapters->push_back({usable.address, AnsiToUtf8(usable.interfaceDescription)});
    }
    return true;
}

}  // namespace netsonde::cli
