// Text forms shown for a device's MAC, addresses and uptime.
#include "protocol/text_forms.h"

#include <gtest/gtest.h>

namespace netsonde {
namespace {

TEST(TextFormsTest, MacIsLowercaseWithLeadingZeros) {
    EXPECT_EQ(FormatMacText({0x02, 0x1F, 0x00, 0x0A, 0xB3, 0x7C}), "02-1f-00-0a-b3-7c");
    EXPECT_EQ(FormatMacText({0x02, 0x00, 0x0A, 0x0B, 0x0C, 0x0D}), "02-00-0a-0b-0c-0d");
    EXPECT_EQ(FormatMacText({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "ff-ff-ff-ff-ff-ff");
}

TEST(TextFormsTest, IpHasNoLeadingZeros) {
    EXPECT_EQ(FormatIpText({0xC0, 0xA8, 0x01, 0x14}), "192.168.1.20");
    EXPECT_EQ(FormatIpText({0x0A, 0x00, 0x00, 0x01}), "10.0.0.1");
    EXPECT_EQ(FormatIpText({255, 255, 255, 255}), "255.255.255.255");
    EXPECT_EQ(FormatIpText({0, 0, 0, 0}), "0.0.0.0");
}

TEST(TextFormsTest, UptimeDropsHundredthsAndSplitsDays) {
    struct Case {
        std::uint32_t count;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 d 0 h 0 m 0 s"},          {99, "0 d 0 h 0 m 0 s"},
        {100, "0 d 0 h 0 m 1 s"},        {12345678, "1 d 10 h 17 m 36 s"},
        {8640000, "1 d 0 h 0 m 0 s"},    {4294967295u, "497 d 2 h 27 m 52 s"},
        {8639999, "0 d 23 h 59 m 59 s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatUptimeText(c.count), c.text) << c.count;
    }
}

}  // namespace
}  // namespace netsonde
