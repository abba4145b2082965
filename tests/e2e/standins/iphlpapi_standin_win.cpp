// Stand-in for iphlpapi.dll in the fault-injection tests. GetIfTable and GetIpAddrTable answer
// through Wine's own iphlpapi (iphlpapi_wine.dll; the other exports are forwarded there in
// iphlpapi_standin.def) unless the fault file (fault_switch_win.h) says otherwise:
//   iftable-fails         GetIfTable answers ERROR_NOT_SUPPORTED
//   addrtable-fails       GetIpAddrTable answers ERROR_NOT_SUPPORTED
//   iftable-empty         GetIfTable succeeds with no rows
//   interfaces-only NAME  GetIfTable keeps only the rows described NAME (Wine describes an
//                         interface by its name), as if the others were not plugged in yet
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <string>

#include "tests/e2e/standins/fault_switch_win.h"

namespace {

constexpr char kReal[] = "iphlpapi_wine.dll";

std::string Description(const MIB_IFROW& row) {
    const DWORD bound = row.dwDescrLen < sizeof row.bDescr ? row.dwDescrLen : sizeof row.bDescr;
    const void* zero = std::memchr(row.bDescr, 0, bound);
    const DWORD length =
        zero != nullptr ? static_cast<DWORD>(static_cast<const BYTE*>(zero) - row.bDescr) : bound;
    return std::string(reinterpret_cast<const char*>(row.bDescr), length);
}

}  // namespace

extern "C" {

DWORD WINAPI StandinGetIfTable(PMIB_IFTABLE table, PULONG size, BOOL order) {
    if (standin::FaultOn("iftable-fails")) {
        return ERROR_NOT_SUPPORTED;
    }
    const DWORD answer = standin::Real<DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL)>(
        kReal, "GetIfTable")(table, size, order);
    if (answer != NO_ERROR || table == nullptr) {
        return answer;
    }
    if (standin::FaultOn("iftable-empty")) {
        table->dwNumEntries = 0;
    } else if (const auto only = standin::Fault("interfaces-only")) {
        DWORD kept = 0;
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            if (Description(table->table[i]) == *only) {
                table->table[kept++] = table->table[i];
            }
        }
        table->dwNumEntries = kept;
    }
    return answer;
}

DWORD WINAPI StandinGetIpAddrTable(PMIB_IPADDRTABLE table, PULONG size, BOOL order) {
    if (standin::FaultOn("addrtable-fails")) {
        return ERROR_NOT_SUPPORTED;
    }
    return standin::Real<DWORD(WINAPI*)(PMIB_IPADDRTABLE, PULONG, BOOL)>(kReal, "GetIpAddrTable")(
        table, size, order);
}

}  // extern "C"
