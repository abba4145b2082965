// Datagrams received during a scan, as the exchange hands them over: each must be taken whole
// into DeviceTable, MacIndex and one list row, or change nothing; no byte sequence may read
// outside its record or leave the three out of step. One input is a sequence of datagrams, each
// possibly sent many times with its MAC counted up, so duplicates and the 1000-row cap are met.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "discovery/device_reply.h"
#include "discovery/device_table.h"
#include "protocol/text_forms.h"
#include "fuzz/fuzz_check.h"
#include "tests/unit/discovery_fake_rows.h"

using namespace netsonde;

namespace {

// Adds serial to the last two MAC bytes, so repeats of one datagram are different devices.
void CountMacUp(DeviceRecord& record, unsigned serial) {
    MacBytes mac = record.mac();
    const unsigned low = mac[5] + (mac[4] << 8) + serial;
    mac[4] = static_cast<std::uint8_t>(low >> 8);
    mac[5] = static_cast<std::uint8_t>(low);
    record.setMac(mac);
}

// The rules that hold after every reply: rows, table entries and keys are the same set.
void CheckListed(const FakeDeviceRows& rows) {
    FUZZ_CHECK(rows.RowCount() <= static_cast<int>(kMaxDevices));
    FUZZ_CHECK(MacIndex.size() == rows.rows.size());
}

void CheckRowOf(const FakeDeviceRows& rows, int n, const DeviceRecord& datagram) {
    const FakeDeviceRows::Row& row = rows.rows.at(static_cast<std::size_t>(n));
    FUZZ_CHECK(row.data == n);
    FUZZ_CHECK(DeviceTable[static_cast<std::size_t>(n)] == datagram);
    int index = -1;
    FUZZ_CHECK(MacIndex.Lookup(row.texts[kMacColumn], &index) && index == n);
    FUZZ_CHECK(row.texts == DeviceRowTextsOf(datagram));
    FUZZ_CHECK(row.texts[kMacColumn].size() == 17);
    FUZZ_CHECK(row.texts[kNameColumn].size() <= field::kSystemNameSize);
    FUZZ_CHECK(row.texts[kIpColumn].size() >= 7 && row.texts[kIpColumn].size() <= 15);
    // "496 d 23 h 59 m 59 s" is the longest.
    FUZZ_CHECK(row.texts[kUptimeColumn].size() <= 20);
    FUZZ_CHECK(row.texts[kDescriptionColumn].size() <= field::kSystemDescriptionSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FakeDeviceRows rows;
    // A list that refuses rows early stands for a list view out of memory.
    rows.capacity = input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(0, 1100) : 1 << 30;
    MacIndex.RemoveAll();  // as every scan starts

    std::vector<DeviceRecord> listed;  // every reply added, in order
    std::vector<std::uint8_t> datagram;
    while (input.remaining_bytes() > 0) {
        // Mostly a few copies; now and then enough to fill the list past its cap.
        const unsigned repeats = input.ConsumeIntegralInRange<int>(0, 15) == 0
                                     ? input.ConsumeIntegralInRange<unsigned>(1, 1200)
                                     : input.ConsumeIntegralInRange<unsigned>(1, 3);
        // Mostly whole records, which is what the scan takes; sometimes any other length.
        std::size_t length = kRecordSize;
        if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
            length = input.ConsumeIntegralInRange<std::size_t>(0, 2 * kRecordSize);
        }
        datagram = input.ConsumeBytes<std::uint8_t>(length);
        datagram.resize(length);  // a short input ends in zero bytes

        DeviceRecord record;
        if (!DeviceRecord::FromDatagram(datagram.data(), datagram.size(), &record)) {
            FUZZ_CHECK(datagram.size() != kRecordSize);
            continue;
        }
        FUZZ_CHECK(datagram.size() == kRecordSize);
        for (unsigned serial = 0; serial < repeats; ++serial) {
            DeviceRecord reply = record;
            CountMacUp(reply, serial);
            const int before = rows.RowCount();
            const bool listedBefore = MacIndex.Contains(FormatMacText(reply.mac()));
            const bool added = AddDeviceReply(rows, reply);
            if (added) {
                FUZZ_CHECK(IsDiscoveryReply(reply) && !listedBefore);
                FUZZ_CHECK(rows.RowCount() == before + 1);
                CheckRowOf(rows, before, reply);
                listed.push_back(reply);
            } else {
                FUZZ_CHECK(rows.RowCount() == before);
                FUZZ_CHECK(!IsDiscoveryReply(reply) || listedBefore ||
                           before >= static_cast<int>(kMaxDevices) || before >= rows.capacity);
            }
            CheckListed(rows);
        }
    }
    // No later reply may have rewritten an earlier device's entry or row.
    FUZZ_CHECK(listed.size() == rows.rows.size());
    for (std::size_t n = 0; n < listed.size(); ++n) {
        CheckRowOf(rows, static_cast<int>(n), listed[n]);
    }
    return 0;
}
