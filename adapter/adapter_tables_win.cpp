// IP Helper reads of the interface and IPv4 address tables; see adapter_tables_win.h.
#include "adapter/adapter_tables_win.h"

#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstring>
#include <memory>

namespace netsonde {

namespace {

// A table as IP Helper returned it, in a buffer of the size it asked for.
struct TableBuffer {
    std::unique_ptr<unsigned char[]> bytes;
    ULONG size = 0;
};

// The two-call protocol of GetIfTable and GetIpAddrTable: ask for the size with no buffer, then
// read into a buffer of that size. A table that grows between the two calls answers
// ERROR_INSUFFICIENT_BUFFER again; a few more rounds absorb that. True only on NO_ERROR with a
// buffer in hand.
template <typename Table, typename Reader>
bool ReadTable(Reader reader, TableBuffer* buffer) {
    constexpr int kAttempts = 3;
    ULONG size = 0;
    DWORD answer = reader(nullptr, &size);
    for (int attempt = 0; attempt < kAttempts && answer == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        if (size == 0) {
            return false;
        }
        buffer->bytes = std::make_unique<unsigned char[]>(size);
        buffer->size = size;
        answer = reader(reinterpret_cast<Table*>(buffer->bytes.get()), &size);
    }
    return answer == NO_ERROR && buffer->bytes != nullptr && buffer->size >= sizeof(DWORD);
}

// How many rows of the table really lie inside the buffer: the count the table claims, bounded
// by the buffer's size.
std::size_t RowsInBuffer(DWORD claimed, std::size_t rowsOffset, std::size_t rowSize,
                         ULONG bufferSize) {
    if (bufferSize < rowsOffset) {
        return 0;
    }
    const std::size_t fit = (bufferSize - rowsOffset) / rowSize;
    return claimed < fit ? claimed : fit;
}

}  // namespace

bool ReadAdapterTables(AdapterTables* tables) {
    TableBuffer interfaceBuffer;
    const bool interfacesRead = ReadTable<MIB_IFTABLE>(
        [](MIB_IFTABLE* table, ULONG* size) { return GetIfTable(table, size, FALSE); },
        &interfaceBuffer);
    if (!interfacesRead) {
        return false;
    }
    TableBuffer addressBuffer;
    const bool addressesRead = ReadTable<MIB_IPADDRTABLE>(
        [](MIB_IPADDRTABLE* table, ULONG* size) { return GetIpAddrTable(table, size, FALSE); },
        &addressBuffer);
    if (!addressesRead) {
        return false;
    }

    const auto* interfaceTable = reinterpret_cast<const MIB_IFTABLE*>(interfaceBuffer.bytes.get());
    const std::size_t interfaceCount =
        RowsInBuffer(interfaceTable->dwNumEntries, offsetof(MIB_IFTABLE, table), sizeof(MIB_IFROW),
                     interfaceBuffer.size);
    tables->interfaces.clear();
    tables->interfaces.reserve(interfaceCount);
    for (std::size_t i = 0; i < interfaceCount; ++i) {
        const MIB_IFROW& row = interfaceTable->table[i];
        InterfaceRow converted;
        converted.index = row.dwIndex;
        converted.description = DescriptionText(row.bDescr, sizeof row.bDescr, row.dwDescrLen);
        tables->interfaces.push_back(std::move(converted));
    }

    const auto* addressTable = reinterpret_cast<const MIB_IPADDRTABLE*>(addressBuffer.bytes.get());
    const std::size_t addressCount =
        RowsInBuffer(addressTable->dwNumEntries, offsetof(MIB_IPADDRTABLE, table),
                     sizeof(MIB_IPADDRROW), addressBuffer.size);
    tables->addresses.clear();
    tables->addresses.reserve(addressCount);
    for (std::size_t j = 0; j < addressCount; ++j) {
        const MIB_IPADDRROW& row = addressTable->table[j];
        AddressRow converted;
        // dwAddr holds the address in network order: its bytes in memory are the dotted form's.
        std::memcpy(converted.address.data(), &row.dwAddr, converted.address.size());
        converted.interfaceIndex = row.dwIndex;
        tables->addresses.push_back(converted);
    }
    return true;
}

}  // namespace netsonde
