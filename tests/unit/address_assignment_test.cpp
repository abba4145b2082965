// The batch address assignment: skips, step, the subnet's edges, running out, and devices that
// already hold the address they get.
#include "commission/address_assignment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/address_check.h"
#include "protocol/text_forms.h"
#include "protocol/ipv4_number.h"

namespace netsonde::commission {
namespace {

std::uint32_t Ip(const char* text) {
    return Ipv4Number(ParseDottedQuad(text));
}

std::vector<std::uint32_t> Ips(const std::vector<const char*>& texts) {
    std::vector<std::uint32_t> numbers;
    for (const char* text : texts) {
        numbers.push_back(Ip(text));
    }
    return numbers;
}

struct AssignCase {
    const char* what;
    std::vector<const char*> current;
    const char* first;
    unsigned step;
    const char* mask;
    std::vector<const char*> avoid;
    std::size_t fitting;
    std::vector<const char*> expected;  // when all fit
};

TEST(AddressAssignmentTest, Cases) {
    const char* f = "198.18.0.99";  // a factory address every device answers on
    const char* c24 = "255.255.255.0";
    // clang-format off
    const AssignCase cases[] = {
        {"plain run", {f, f, f}, "198.18.0.10", 1, c24, {},
         3, {"198.18.0.10", "198.18.0.11", "198.18.0.12"}},
        {"avoided ones skipped, also repeated or elsewhere", {f, f, f}, "198.18.0.10", 1, c24,
         {"198.18.0.11", "198.18.0.11", "198.18.0.12", "10.0.0.11"},
         3, {"198.18.0.10", "198.18.0.13", "198.18.0.14"}},
        {"step counts over avoided ones", {f, f, f}, "198.18.0.10", 5, c24,
         {"198.18.0.15", "198.18.0.16"}, 3, {"198.18.0.10", "198.18.0.20", "198.18.0.25"}},
        {"holders keep their address, no one shares",
         {"198.18.0.11", "198.18.0.10", "198.18.0.12"}, "198.18.0.10", 1, c24, {},
         3, {"198.18.0.10", "198.18.0.11", "198.18.0.12"}},
        {"first is the network address", {f, f}, "198.18.0.0", 1, c24, {},
         2, {"198.18.0.1", "198.18.0.2"}},
        {"network address passed by the step", {f}, "198.18.4.0", 4, "255.255.252.0", {},
         1, {"198.18.4.4"}},
        {"broadcast ends the run", {f, f, f}, "198.18.0.253", 1, c24, {}, 2, {}},
        {"step past the subnet end never wraps", {f, f, f}, "198.18.0.250", 3, c24, {}, 2, {}},
        {"first is the broadcast address", {f}, "198.18.0.255", 1, c24, {}, 0, {}},
        {"avoided up to the end", {f, f}, "198.18.0.252", 1, "255.255.255.252",
         {"198.18.0.253"}, 1, {}},
        {"/31: both addresses usable", {f, f}, "198.18.0.4", 1, "255.255.255.254", {},
         2, {"198.18.0.4", "198.18.0.5"}},
        {"/31: counting goes up only", {f, f}, "198.18.0.5", 1, "255.255.255.254", {}, 1, {}},
        {"/32: the one address", {f}, "198.18.0.5", 1, "255.255.255.255", {},
         1, {"198.18.0.5"}},
        {"/32: no second one", {f, f}, "198.18.0.5", 1, "255.255.255.255", {}, 1, {}},
        {"mask 0.0.0.0 ends before 255.0.0.0", {f, f, f}, "254.255.255.254", 1, "0.0.0.0", {},
         2, {}},
        {"no wrap to 0.0.0.0 at the top", {f, f}, "254.255.255.250", 255, "0.0.0.0", {}, 1, {}},
        {"a first number of 0 is never handed out", {f, f}, "0.255.255.254", 1, "0.0.0.0", {},
         2, {"1.0.0.0", "1.0.0.1"}},
        {"step 0 counts the first address only", {f, f}, "198.18.0.10", 0, c24, {}, 1, {}},
        {"mask not a run of ones", {f}, "198.18.0.10", 1, "255.0.255.0", {}, 0, {}},
        {"no devices", {}, "198.18.0.255", 1, c24, {}, 0, {}},
    };
    // clang-format on
    for (const AssignCase& c : cases) {
        const AddressAssignment got =
            AssignAddresses(Ips(c.current), Ip(c.first), c.step, Ip(c.mask), Ips(c.avoid));
        const bool fits = c.fitting == c.current.size();
        EXPECT_EQ(got.fits, fits) << c.what;
        EXPECT_EQ(got.fitting, c.fitting) << c.what;
        std::vector<std::string> texts;
        for (std::uint32_t address : got.addresses) {
            texts.push_back(FormatIpText(Ipv4FromNumber(address)));
        }
        EXPECT_EQ(texts, std::vector<std::string>(c.expected.begin(), c.expected.end())) << c.what;
    }
}

}  // namespace
}  // namespace netsonde::commission
