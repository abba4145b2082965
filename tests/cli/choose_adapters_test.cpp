// Which local address a set request leaves from when a device was heard on several.
#include <gtest/gtest.h>

#include "cli/local_adapters.h"

namespace netsonde::cli {
namespace {

TEST(ChooseAdaptersTest, TwoAddressesOfANamedInterfaceAreOneWayOut) {
    const std::vector<LocalAdapter> adapters = {
        {"198.18.0.1", "ws0"}, {"198.18.0.2", "ws0"}, {"198.18.1.1", "ws1"}};
    struct Case {
        std::vector<std::string> wanted, heard;
        std::string address;  // empty: the user must pick
    };
    const Case cases[] = {
        {{}, {"198.18.1.1"}, "198.18.1.1"},
        {{"ws0"}, {"198.18.0.2", "198.18.0.1"}, "198.18.0.1"},  // the workstation's order
        {{}, {"198.18.0.1", "198.18.0.2"}, ""},                 // ws0 not named
        {{"198.18.0.1", "198.18.0.2"}, {"198.18.0.1", "198.18.0.2"}, ""},
        {{"ws0", "ws1"}, {"198.18.0.1", "198.18.1.1"}, ""},  // two links
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendingAddress(adapters, c.wanted, c.heard), c.address)
            << testing::PrintToString(c.heard) << " with " << testing::PrintToString(c.wanted);
    }
}

}  // namespace
}  // namespace netsonde::cli
