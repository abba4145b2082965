// Acceptance rules of typed host addresses and subnet masks, and the conversion of dotted
// texts into record bytes, including texts the dialog can hold but no rule anticipates.
#include "config/address_check.h"

#include <gtest/gtest.h>

#include <string>

namespace netsonde {
namespace {

struct CheckCase {
    const char* text;
    int expected;
};

TEST(AddressCheckTest, HostAddresses) {
    const CheckCase cases[] = {
        {"192.168.1.10", 1},
        {"10.0.0.1", 1},
        {"127.0.0.1", 1},
        {"224.0.0.1", 1},
        {"192.168.1.0", 1},
        {"192.168.1.255", 1},
        {"010.001.000.009", 1},
        {"1.2.3.4", 1},
        {"254.255.255.255", 1},
        {"0.1.2.3", 0},
        {"0.0.0.0", 0},
        {"255.1.2.3", 0},
        {"255.255.255.255", 0},
        {"256.1.1.1", 0},
        {"1.2.3.256", 0},
        {".1.2.3", 0},
        {"1.2.3.4.", 0},
        {"1..2.3", 0},
        {"1.2.3", 0},
        {"10", 0},
        {"1.a.3.4", 0},
        {"-1.2.3.4", 0},
        {" 1.2.3.4", 0},
        {"1.2.3.4 ", 0},
        {"", 0},
        {".", 0},
        {"1.2.3.0255", 1},
        {"1.2.3.4.5", 0},
        {"1.2.3.4.5.6.7", 0},
        {"1.2.3.4..", 0},
        {"99999999999.1.1.1", 0},
        {"1.1.1.99999999999", 0},
        {"1.2.3.4294967297", 0},
        {"1.2.3.00000000000000000000000000000007", 1},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckAddressText(c.text, HostAddressKind), c.expected) << '"' << c.text << '"';
    }
}

TEST(AddressCheckTest, SubnetMasks) {
    const CheckCase cases[] = {
        {"255.255.255.0", 1},
        {"255.255.0.0", 1},
        {"128.0.0.0", 1},
        {"255.255.255.252", 1},
        {"255.255.255.254", 1},
        {"0.0.0.0", 1},
        {"255.255.255.255", 1},
        {"255.0.255.0", 0},
        {"255.255.0.255", 0},
        {"255.255.255.1", 0},
        {"0.255.255.255", 0},
        {"255.255.256.0", 0},
        {"255.255", 0},
        {"255.255.255", 0},
        {"255.255.255.0.0", 0},
        {"255.255.255.0.255", 0},
        {"255.255.255.99999999999", 0},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(CheckAddressText(c.text, SubnetMaskKind), c.expected) << '"' << c.text << '"';
    }
}

TEST(AddressCheckTest, OtherKindsGetOnlyTheCommonRules) {
    EXPECT_EQ(CheckAddressText("0.0.0.0", 0), 1);
    EXPECT_EQ(CheckAddressText("255.0.255.0", 3), 1);
    EXPECT_EQ(CheckAddressText("1.2.3.256", 3), 0);
}

TEST(AddressCheckTest, LengthIsBoundedBeforeTheByteWidthWraps) {
    // 255 characters are looked at; the 256th would wrap an 8-bit length to 0 and a text of
    // 256 + 7 characters would look like a short one.
    const std::string padded255 = std::string(248, '0') + "1.2.3.4";
    ASSERT_EQ(padded255.size(), 255u);
    EXPECT_EQ(CheckAddressText(padded255.c_str(), HostAddressKind), 1);

    const std::string padded256 = "0" + padded255;
    EXPECT_EQ(CheckAddressText(padded256.c_str(), HostAddressKind), 0);

    std::string long300(300, '1');
    long300[1] = '.';
    long300[3] = '.';
    long300[5] = '.';
    EXPECT_EQ(CheckAddressText(long300.c_str(), HostAddressKind), 0);

    EXPECT_EQ(CheckAddressText(nullptr, HostAddressKind), 0);
}

TEST(AddressCheckTest, ParseReadsTheTextsCallersPass) {
    struct Case {
        const char* text;
        Ipv4Bytes bytes;
    };
    const Case cases[] = {
        {"010.001.000.009", {10, 1, 0, 9}},
        {"192.168.1.10", {192, 168, 1, 10}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"255.255.255.255", {255, 255, 255, 255}},
        {"255.255.255.0", {255, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDottedQuad(c.text), c.bytes) << c.text;
    }
}

TEST(AddressCheckTest, ParseIsSafeForAnyText) {
    struct Case {
        const char* text;
        Ipv4Bytes bytes;
    };
    const Case cases[] = {
        {"256.257.511.1000", {0, 1, 255, 232}},  // each number modulo 256
        {"-1.2.3.4", {255, 2, 3, 4}},
        {"99999999999999999999.1.2.3", {255, 1, 2, 3}},  // 10^20 - 1 mod 256 = 255
        {"1.2.3", {1, 2, 3, 0}},                         // missing numbers stay 0
        {"1..2.3", {1, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
        {"host.example", {0, 0, 0, 0}},
        {"1.2.3.4.5.6", {1, 2, 3, 4}},  // nothing beyond the fourth number
        {" 1. 2.3.4", {1, 2, 3, 4}},    // blanks before a number are skipped like "%d"
        {"1 .2.3.4", {1, 0, 0, 0}},     // but a dot must follow the number at once
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDottedQuad(c.text), c.bytes) << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseDottedQuad(nullptr), (Ipv4Bytes{0, 0, 0, 0}));

    Ipv4Bytes stale{9, 9, 9, 9};
    ParseDottedQuad("7.8", &stale);
    EXPECT_EQ(stale, (Ipv4Bytes{7, 8, 0, 0}));
}

}  // namespace
}  // namespace netsonde
