// A saved scan read back for --since (what is not one is refused; what is one comes back as the
// document it was written from), and the table's escaping of control characters.
#include "cli/saved_scan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/scan_table.h"

namespace netsonde::cli {
namespace {

using namespace commission;

TEST(SavedScanTest, ReadsBackWhatWasWrittenAndRefusesTheRest) {
    FoundDevices found;
    DeviceRecord record;
    record.setMarker(kAlternateMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({2, 0, 0, 0, 0, 1});
    record.writeSystemName("a,\"b\"\r\nc\x01\xE9");
    record.setUptime(12345678);
    record.data()[field::kIpAddressType] = 7;
    found.Add("198.18.0.1", record);
    found.Add("198.18.1.1", record);
    const ScanDocument written = MakeScanDocument({{"198.18.0.1", "ws0"}}, found, 1765237796);
    ASSERT_EQ(written.devices.size(), 1u);

    ScanDocument read;
    std::string error;
    ASSERT_TRUE(ParseScanDocument(ScanJson(written), &read, &error)) << error;
    EXPECT_EQ(ScanJson(read), ScanJson(written));

    // A document nested 100,000 deep inside a device is refused before anything is built of it.
    const std::string deep =
        "{\"version\": 1, \"devices\": [{\"mac\": \"02-00-00-00-00-01\", \"name\": " +
        std::string(100000, '[') + std::string(100000, ']') + "}]}";
    for (const std::string& bad :
         {std::string("[]"), std::string("{\"version\": 2, \"devices\": []}"),
          std::string("{\"version\": 1}"),
          std::string("{\"version\": 1, \"devices\": [{\"name\": \"x\"}]}"),
          std::string("not json"), deep}) {
        EXPECT_FALSE(ParseScanDocument(bad, &read, &error)) << bad.substr(0, 60);
    }
    EXPECT_EQ(error, "not a saved scan (nested deeper than 64 levels)");

    const std::string table = FormatTable(written.devices, false);
    EXPECT_NE(table.find("a,\"b\"\\x0D\\x0Ac\\x01\xC3\xA9"), std::string::npos) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 2);
}

}  // namespace
}  // namespace netsonde::cli
