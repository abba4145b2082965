// The scan document: devices heard on several adapters merged, JSON and CSV read back (JSON by
// nlohmann-json, whose layout saved files have always had, byte for byte), the apply report's
// JSON likewise, and the comparison with an earlier scan.
#include "commission/scan_document.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "commission/apply_report.h"
#include "commission/csv.h"

namespace netsonde::commission {
namespace {

using Json = nlohmann::ordered_json;

DeviceRecord Device(std::uint8_t tag, const std::string& name, std::uint32_t uptime = 0,
                    std::uint32_t typeByte = 1) {
    DeviceRecord record;
    record.setMarker(kAlternateMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({0x02, 0x1f, 0x00, 0x0a, 0xb3, tag});
    record.writeSystemName(name);
    record.setIpAddress({198, 18, 0, tag});
    record.setUptime(uptime);
    record.writePassword("s3cret-pw");
    record.data()[field::kIpAddressType] = static_cast<std::uint8_t>(typeByte);
    return record;
}

TEST(ScanDocumentTest, DevicesHeardOnSeveralAdaptersAreOneEntryAndOnlyRepliesCount) {
    FoundDevices found;
    DeviceRecord notReply = Device(9, "set-accepted");
    notReply.setOpcode(kSetAccepted);
    found.Add("198.18.1.1", Device(1, "first"));
    found.Add("198.18.0.10", Device(1, "second reply, same device"));
    found.Add("198.18.0.9", Device(1, "third"));
    found.Add("198.18.0.10", Device(1, "again"));
    found.Add("198.18.0.1", notReply);
    for (int i = 0; i < 1200; ++i) {  // no row limit
        DeviceRecord many = Device(2, "many");
        many.setMac(
            {0x02, 0, 0, 0, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)});
        found.Add("198.18.1.1", many);
    }
    ASSERT_EQ(found.devices().size(), 1201u);
    const FoundDevice* first = found.Find("02-1f-00-0a-b3-01");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->record.systemName(), "first");
    EXPECT_EQ(first->adapters,
              (std::vector<std::string>{"198.18.0.9", "198.18.0.10", "198.18.1.1"}))
        << "by address, not as heard";
}

TEST(ScanDocumentTest, JsonHasExactlyTheDeviceKeysAndReadsBack) {
    FoundDevices found;
    found.Add("198.18.0.1", Device(1, "st\xE9tic", 12345678, 1));
    found.Add("198.18.0.1", Device(2, "dyn", 0, 2));
    found.Add("198.18.0.1", Device(3, "odd", 0, 7));
    const std::string text = ScanJson(MakeScanDocument({{"198.18.0.1", "ws0"}}, found, 0));
    EXPECT_EQ(text.find("s3cret-pw"), std::string::npos) << "the password is never written";

    const Json parsed = Json::parse(text);
    EXPECT_EQ(parsed["version"], 1);
    EXPECT_EQ(parsed["scanned_at"], "1970-01-01T00:00:00Z");
    EXPECT_EQ(parsed["adapters"][0]["interface"], "ws0");
    const Json& devices = parsed["devices"];
    ASSERT_EQ(devices.size(), 3u);
    std::vector<std::string> keys;
    for (const auto& item : devices[0].items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, kDeviceKeys);
    EXPECT_EQ(devices[0]["name"], "st\xC3\xA9tic") << "Latin-1 written as UTF-8";
    EXPECT_EQ(devices[0]["uptime_s"], 123456);
    EXPECT_EQ(devices[0]["uptime"], "1 d 10 h 17 m 36 s");
    EXPECT_EQ(devices[0]["type"], "static");
    EXPECT_EQ(devices[1]["type"], "dynamic");
    EXPECT_EQ(devices[2]["type"], 7);
    EXPECT_EQ(devices[0]["mac"], "02-1f-00-0a-b3-01");
    EXPECT_EQ(devices[0]["adapters"], Json::array({"198.18.0.1"}));
}

// Whatever the texts hold, each document is what nlohmann-json's dump(2) makes of it: the
// layout and escaping netsonde-cli's saved files have always had, now written by both programs.
TEST(ScanDocumentTest, JsonIsByteForByteTheLayoutSavedFilesHave) {
    FoundDevices found;
    found.Add("198.18.0.1", Device(1, "q\"b\\s/\b\f\n\r\t\x01\x1F\x7F\x85\xE9\xFF", 100, 9));
    found.Add("198.18.1.1", Device(1, "ignored"));
    ScanDocument document =
        MakeScanDocument({{"198.18.0.1", "ws0"}, {"198.18.1.1", "ws1"}}, found, 1765237796);
    ScanDocument compared = document;
    compared.devices = CompareWithEarlier(document.devices, MakeScanDocument({}, {}, 0).devices);
    ReportRow row{7, "02-1f-00-0a-b3-01", "refused", "a \"quoted\"\r\nline", {}};
    ReportRow withFields = row;
    withFields.changes = {{"password", "old-pw", "new-pw"}, {"ip", "198.18.0.1", "198.18.0.2"}};

    JsonWriter adapters;
    WriteAdapters({{"198.18.0.1", "ws0"}}, &adapters);
    for (const std::string& text :
         {ScanJson(document), ScanJson(compared), ScanJson(MakeScanDocument({}, {}, 0)),
          ApplyReportJson("p.csv", {row, withFields}), ApplyReportJson("p.csv", {}),
          adapters.text() + "\n"}) {
        EXPECT_EQ(Json::parse(text).dump(2) + "\n", text);
        EXPECT_EQ(text.find("-pw"), std::string::npos) << text;
    }

    // A text that is not UTF-8 (an interface name of any bytes) is written as Latin-1.
    JsonWriter odd;
    odd.String("a\xFF\xC3");
    EXPECT_EQ(odd.text(), "\"a\xC3\xBF\xC3\x83\"");
}

// What the window saves is what a scan of its adapter saves, in the same order; a record the
// Change dialog wrote back (the request as sent, no reply) is listed all the same.
TEST(ScanDocumentTest, AWindowsListSavesAsAScanOfItsAdapter) {
    const std::vector<DeviceRecord> records = {Device(3, "c", 300, 2), Device(1, "a"),
                                               Device(2, "b")};
    FoundDevices found;
    for (const DeviceRecord& record : records) {
        found.Add("198.18.0.1", record);
    }
    ScanDocument scan = MakeScanDocument({{"198.18.0.1", "ws0"}}, found, 5);
    OrderDevices(&scan.devices, false);
    EXPECT_EQ(ScanJson(ListDocument(records, {"198.18.0.1", "ws0"}, 5)), ScanJson(scan));

    DeviceRecord written = records[0];
    written.setOpcode(kSetRequest);
    const ScanDocument anyAddress = ListDocument({written}, {}, 5);
    EXPECT_TRUE(anyAddress.adapters.empty());
    ASSERT_EQ(anyAddress.devices.size(), 1u);
    EXPECT_TRUE(anyAddress.devices[0].adapters.empty());
}

TEST(ScanDocumentTest, CsvReadsBackFieldForField) {
    FoundDevices found;
    found.Add("198.18.0.1", Device(1, "a,\"b\"\r\nc\x01"));
    found.Add("198.18.1.1", Device(1, "ignored"));
    const std::vector<DeviceEntry> devices = MakeScanDocument({}, found, 0).devices;

    std::vector<CsvRow> rows;
    std::string error;
    ASSERT_TRUE(ParseCsv(FormatCsv(devices, false), &rows, &error)) << error;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].fields, kDeviceKeys);
    EXPECT_EQ(rows[1].fields[1], "a,\"b\"\r\nc\x01");
    EXPECT_EQ(rows[1].fields[11], "198.18.0.1 198.18.1.1");
    EXPECT_EQ(rows[1].fields[7], "static");
}

TEST(ScanDocumentTest, ComparisonWithAnEarlierScan) {
    FoundDevices before, now;
    before.Add("198.18.0.1", Device(1, "same", 500));
    before.Add("198.18.0.1", Device(2, "old-name", 900));
    before.Add("198.18.0.1", Device(3, "moves"));
    before.Add("198.18.0.1", Device(4, "gone"));
    now.Add("198.18.0.1", Device(1, "same", 90000));  // only the uptime differs
    now.Add("198.18.0.1", Device(2, "new-name", 100));
    now.Add("198.18.1.1", Device(3, "moves"));
    now.Add("198.18.0.1", Device(5, "new", 300));
    before.Add("198.18.0.1", Device(6, "both", 700));  // heard on two adapters, in either order
    before.Add("198.18.1.1", Device(6, "both", 700));
    now.Add("198.18.1.1", Device(6, "both", 700));
    now.Add("198.18.0.1", Device(6, "both", 700));
    std::vector<DeviceEntry> compared = CompareWithEarlier(MakeScanDocument({}, now, 0).devices,
                                                           MakeScanDocument({}, before, 0).devices);
    OrderDevices(&compared, true);

    struct Expected {
        const char* mac;
        const char* change;
        std::vector<std::string> fields;
    };
    const std::vector<Expected> expected = {
        {"02-1f-00-0a-b3-03", "changed", {"adapters"}},
        {"02-1f-00-0a-b3-02", "changed", {"name"}},
        {"02-1f-00-0a-b3-05", "new", {}},
        {"02-1f-00-0a-b3-06", "same", {}},
        {"02-1f-00-0a-b3-01", "same", {}},
        {"02-1f-00-0a-b3-04", "gone", {}},
    };
    ASSERT_EQ(compared.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(compared[i].mac, expected[i].mac) << i;
        EXPECT_EQ(compared[i].change, expected[i].change) << i;
        EXPECT_EQ(compared[i].changedFields, expected[i].fields) << i;
    }
    EXPECT_EQ(compared[5].name, "gone") << "a gone device keeps its last values";

    std::vector<CsvRow> rows;
    std::string error;
    ASSERT_TRUE(ParseCsv(FormatCsv(compared, true), &rows, &error));
    EXPECT_EQ(rows[0].fields.back(), kChangedFieldsKey);
    EXPECT_EQ(rows[1].fields.back(), "adapters");
}

// A device of the earlier scan that did not answer is gone only where this scan listened.
TEST(ScanDocumentTest, DevicesBehindAnAdapterNotListenedOnAreNotScanned) {
    FoundDevices before;
    before.Add("198.18.0.1", Device(1, "behind ws0"));
    before.Add("198.18.1.1", Device(2, "behind ws1"));
    before.Add("198.18.1.1", Device(3, "on both"));
    before.Add("198.18.0.1", Device(3, "on both"));
    const std::vector<std::string> listened = {"198.18.0.1"};
    const std::vector<DeviceEntry> compared =
        CompareWithEarlier({}, MakeScanDocument({}, before, 0).devices, &listened);
    std::string changes;
    for (const DeviceEntry& device : compared) {
        changes += device.name + ": " + device.change.value_or("") + "; ";
    }
    EXPECT_EQ(changes, "behind ws0: gone; behind ws1: not scanned; on both: gone; ");
}

// One IP on two devices (0.0.0.0 aside) and one MAC heard with records that differ in more than
// the uptime are conflicts, in every form and in a comparison; a scan keeps at most
// kMaxScanDevices and says when it cut the list.
TEST(ScanDocumentTest, ConflictsAreMarkedAndTheDeviceCountIsCapped) {
    const auto at = [](DeviceRecord record, Ipv4Bytes ip) {
        record.setIpAddress(ip);
        return record;
    };
    const Ipv4Bytes shared = {198, 18, 0, 10}, none = {0, 0, 0, 0};
    FoundDevices found, earlier;
    found.Add("198.18.0.1", at(Device(1, "a"), shared));
    found.Add("198.18.0.1", at(Device(2, "b"), shared));
    found.Add("198.18.0.1", at(Device(3, "no-ip"), none));
    found.Add("198.18.0.1", at(Device(4, "no-ip"), none));
    found.Add("198.18.0.1", Device(5, "twin"));
    found.Add("198.18.0.1", Device(5, "other twin"));
    found.Add("198.18.0.1", at(Device(6, "both"), shared));
    found.Add("198.18.0.1", Device(6, "both", 500));  // another record, one IP the same
    found.Add("198.18.0.1", Device(7, "ticks", 100));
    found.Add("198.18.1.1", Device(7, "ticks", 300));  // only the uptime: the same device
    earlier.Add("198.18.0.1", at(Device(1, "a"), shared));
    earlier.Add("198.18.0.1", Device(7, "ticks"));
    earlier.Add("198.18.1.1", Device(7, "ticks"));

    const ScanDocument document = MakeScanDocument({}, found, 0);
    const std::vector<std::vector<std::string>> expected = {{"ip"},  {"ip"},        {}, {},
                                                            {"mac"}, {"ip", "mac"}, {}};
    ASSERT_EQ(document.devices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(document.devices[i].conflicts, expected[i]) << document.devices[i].mac;
    }
    const Json json = Json::parse(ScanJson(document));
    EXPECT_EQ(json["truncated"], false);
    EXPECT_EQ(json["devices"][5]["conflicts"], Json::array({"ip", "mac"}));
    std::vector<CsvRow> rows;
    std::string error;
    ASSERT_TRUE(ParseCsv(FormatCsv(document.devices, false), &rows, &error));
    EXPECT_EQ(rows[0].fields.back(), "conflicts");
    EXPECT_EQ(rows[6].fields.back(), "ip mac");
    // A conflict that appeared since is a change.
    const std::vector<DeviceEntry> compared =
        CompareWithEarlier(document.devices, MakeScanDocument({}, earlier, 0).devices);
    EXPECT_EQ(compared[0].changedFields, std::vector<std::string>{"conflicts"});
    EXPECT_EQ(compared[6].change, "same");

    FoundDevices flood;
    DeviceRecord fake = Device(0, "flood");
    for (std::uint32_t i = 0; i <= kMaxScanDevices; ++i) {
        fake.setMac({0x02, 0, 0, static_cast<std::uint8_t>(i >> 16),
                     static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)});
        EXPECT_FALSE(flood.cut());
        flood.Add("198.18.0.1", fake);
    }
    EXPECT_TRUE(flood.cut());
    EXPECT_EQ(flood.devices().size(), kMaxScanDevices);
    EXPECT_TRUE(MakeScanDocument({}, flood, 0).truncated);
}

}  // namespace
}  // namespace netsonde::commission
