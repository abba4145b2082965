// The adapter chooser's list: which addresses are offered, in which order, with which texts, and
// the rules the chooser applies to the list it built.
#include "adapter/adapter_list.h"

#include <gtest/gtest.h>

#include <cstring>

namespace netsonde {
namespace {

InterfaceRow Interface(std::uint32_t index, const std::string& description) {
    return InterfaceRow{index, description};
}

AddressRow Address(std::uint32_t interfaceIndex, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                   std::uint8_t d) {
    return AddressRow{{a, b, c, d}, interfaceIndex};
}

std::vector<std::string> Texts(const std::vector<AdapterItem>& items) {
    std::vector<std::string> texts;
    for (const AdapterItem& item : items) {
        texts.push_back(item.text);
    }
    return texts;
}

TEST(AdapterListTest, ItemsFollowInterfaceOrderThenAddressOrder) {
    struct Case {
        const char* name;
        std::vector<InterfaceRow> interfaces;
        std::vector<AddressRow> addresses;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"interface order wins over address order",
         {Interface(7, "Zeta Ethernet"), Interface(3, "Alpha Wireless")},
         {Address(3, 10, 0, 0, 5), Address(7, 192, 168, 1, 20)},
         {"Zeta Ethernet (192.168.1.20)", "Alpha Wireless (10.0.0.5)"}},
        {"two addresses of one interface keep the address table's order",
         {Interface(1, "lo"), Interface(2, "ws0")},
         {Address(2, 192, 168, 9, 1), Address(1, 127, 0, 0, 1), Address(2, 10, 1, 1, 1)},
         {"ws0 (192.168.9.1)", "ws0 (10.1.1.1)"}},
        {"0.0.0.0 and 127.0.0.1 are never offered, other loopbacks are",
         {Interface(1, "lo"), Interface(2, "eth0")},
         {Address(1, 127, 0, 0, 1), Address(2, 0, 0, 0, 0), Address(1, 127, 0, 0, 2),
          Address(2, 172, 16, 0, 1)},
         {"lo (127.0.0.2)", "eth0 (172.16.0.1)"}},
        {"addresses of unknown interfaces are left out",
         {Interface(4, "eth0"), Interface(5, "eth1")},
         {Address(0, 10, 9, 9, 9), Address(6, 10, 8, 8, 8), Address(5, 10, 5, 5, 5)},
         {"eth1 (10.5.5.5)"}},
        {"an interface row listed twice lists its addresses twice",
         {Interface(2, "a"), Interface(2, "b")},
         {Address(2, 1, 2, 3, 4)},
         {"a (1.2.3.4)", "b (1.2.3.4)"}},
        {"nothing usable gives an empty list",
         {Interface(1, "lo"), Interface(2, "eth0")},
         {Address(1, 127, 0, 0, 1), Address(2, 0, 0, 0, 0)},
         {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Texts(BuildAdapterItems(c.interfaces, c.addresses)), c.texts) << c.name;
    }
}

TEST(AdapterListTest, ItemAddressIsTheDottedFormOfItsRow) {
    const auto items = BuildAdapterItems({Interface(9, "eth0")},
                                         {Address(9, 10, 0, 200, 7), Address(9, 255, 1, 0, 9)});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].address, "10.0.200.7");
    EXPECT_EQ(items[1].address, "255.1.0.9");
}

TEST(AdapterListTest, ListHoldsTheFirstTenUsableAddresses) {
    std::vector<AddressRow> addresses;
    for (std::uint8_t n = 1; n <= 14; ++n) {
        addresses.push_back(Address(n % 2 == 0 ? 2 : 1, 10, 0, 0, n));
    }
    addresses.insert(addresses.begin() + 3, Address(1, 127, 0, 0, 1));
    const auto items = BuildAdapterItems({Interface(1, "one"), Interface(2, "two")}, addresses);
    ASSERT_EQ(items.size(), static_cast<std::size_t>(kAdapterTableEntries));
    // All seven of interface 1 (odd), then the first three of interface 2.
    EXPECT_EQ(items[0].address, "10.0.0.1");
    EXPECT_EQ(items[6].address, "10.0.0.13");
    EXPECT_EQ(items[7].address, "10.0.0.2");
    EXPECT_EQ(items[9].address, "10.0.0.6");
}

TEST(AdapterListTest, InterfaceTablesBeyond255RowsAreWalkedWhole) {
    std::vector<InterfaceRow> interfaces;
    for (std::uint32_t i = 0; i < 300; ++i) {
        interfaces.push_back(Interface(1000 + i, "if" + std::to_string(i)));
    }
    const std::vector<AddressRow> addresses = {Address(1280, 10, 2, 8, 0),
                                               Address(1299, 10, 2, 9, 9)};
    EXPECT_EQ(Texts(BuildAdapterItems(interfaces, addresses)),
              (std::vector<std::string>{"if280 (10.2.8.0)", "if299 (10.2.9.9)"}));
}

TEST(AdapterListTest, DescriptionStopsAtZeroAndAtBothBounds) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::uint32_t declaredLength;
        std::string text;
    };
    const Case cases[] = {
        {"zero inside", {'e', 't', 'h', 0, 'x', 'y'}, 6, "eth"},
        {"length counts the zero", {'w', 's', '0', 0}, 4, "ws0"},
        {"declared length shorter than the text", {'a', 'b', 'c', 'd', 'e'}, 3, "abc"},
        {"no zero within the array", {'a', 'b', 'c', 'd'}, 4, "abcd"},
        {"declared length beyond the array", {'a', 'b', 'c'}, 4000, "abc"},
        {"empty", {0, 'a'}, 2, ""},
        {"zero length", {'a', 'b'}, 0, ""},
    };
    for (const Case& c : cases) {
        // The array sits inside a larger buffer of non-zero bytes, so a read past its bound
        // would show up in the text.
        std::vector<std::uint8_t> storage(c.bytes);
        storage.resize(c.bytes.size() + 16, 'X');
        EXPECT_EQ(DescriptionText(storage.data(), c.bytes.size(), c.declaredLength), c.text)
            << c.name;
    }
}

TEST(AdapterListTest, LongItemTextsKeepTheWholeAddress) {
    struct Case {
        std::size_t descriptionLength;
        const char* address;
    };
    const Case cases[] = {
        {200, "192.168.100.200"}, {237, "192.168.100.200"}, {238, "192.168.100.200"},
        {255, "1.2.3.4"},         {256, "255.255.255.255"}, {1000, "10.0.0.1"},
    };
    for (const Case& c : cases) {
        const std::string description(c.descriptionLength, 'D');
        const std::string suffix = std::string(" (") + c.address + ")";
        const std::string text = AdapterItemText(description, c.address);
        EXPECT_LE(text.size(), kAdapterItemTextSize - 1) << c.descriptionLength;
        ASSERT_GE(text.size(), suffix.size());
        EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix) << c.descriptionLength;
        const std::size_t kept =
            std::min(c.descriptionLength, kAdapterItemTextSize - 1 - suffix.size());
        EXPECT_EQ(text.substr(0, text.size() - suffix.size()), description.substr(0, kept));
    }
    EXPECT_EQ(AdapterItemText("Ethernet Adapter", "192.168.1.20"),
              "Ethernet Adapter (192.168.1.20)");
}

TEST(AdapterListTest, SingleInterfaceBindsToItsFirstUsableAddressOrToAny) {
    struct Case {
        const char* name;
        std::vector<AddressRow> addresses;
        std::string expected;
    };
    const Case cases[] = {
        {"first usable address",
         {Address(8, 10, 0, 0, 1), Address(3, 0, 0, 0, 0), Address(3, 127, 0, 0, 1),
          Address(3, 192, 168, 5, 5), Address(3, 192, 168, 5, 6)},
         "192.168.5.5"},
        {"only loopback", {Address(3, 127, 0, 0, 1)}, ""},
        {"no address of its own", {Address(0, 10, 0, 0, 1)}, ""},
        {"no addresses at all", {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SingleInterfaceAddress(Interface(3, "ws0"), c.addresses), c.expected) << c.name;
    }
}

TEST(AdapterListTest, EmptyListPutsAnyAddressInEffectAndOkKeepsIt) {
    EXPECT_EQ(FirstListedAddress({}), "");
    EXPECT_EQ(FirstListedAddress({{"10.0.0.2", "a (10.0.0.2)"}, {"10.0.0.3", "b (10.0.0.3)"}}),
              "10.0.0.2");

    struct Case {
        int selection;
        std::size_t itemCount;
        std::optional<std::size_t> entry;
    };
    const Case cases[] = {
        {-1, 0, std::nullopt}, {0, 0, std::nullopt}, {-1, 3, std::nullopt},  {0, 3, 0}, {2, 3, 2},
        {3, 3, std::nullopt},  {9, 10, 9},           {10, 12, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListedEntry(c.selection, c.itemCount), c.entry)
            << c.selection << " of " << c.itemCount;
    }
}

TEST(AdapterListTest, DroppedWidthCoversTheWidestItemAndScrollBar) {
    struct Case {
        std::vector<int> widths;
        int scrollBar;
        int expected;
    };
    const Case cases[] = {
        {{}, 17, 100},   {{40, 60}, 17, 100},       {{83}, 17, 100},
        {{84}, 17, 101}, {{90, 412, 200}, 16, 428}, {{0}, 0, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DroppedWidth(c.widths, c.scrollBar), c.expected);
    }
}

TEST(AdapterListTest, FieldCopiesAreCutAndZeroTerminated) {
    char field[kAddressTextSize];
    std::memset(field, 'X', sizeof field);
    CopyFieldText(field, "255.255.255.255");
    EXPECT_STREQ(field, "255.255.255.255");
    CopyFieldText(field, std::string(40, '7'));
    EXPECT_EQ(std::string(field), std::string(kAddressTextSize - 1, '7'));
    CopyFieldText(field, "");
    EXPECT_STREQ(field, "");
}

}  // namespace
}  // namespace netsonde
