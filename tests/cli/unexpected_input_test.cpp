// Text from outside made valid UTF-8 before it reaches JSON, and what the program does when
// something inside throws all the same.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cli/exit_status.h"
#include "cli/unexpected_failure.h"
#include "cli/utf8_text.h"

namespace netsonde::cli {
namespace {

TEST(UnexpectedInputTest, TextsBecomeValidUtf8) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        std::string in, out;
    } cases[] = {
        {"ws0 B\xC3\xBCro \xE2\x82\xAC \xF0\x9F\x98\x80",
         "ws0 B\xC3\xBCro \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"B\xFCro", "B" + replacement + "ro"},                      // Windows-1252 ü
        {"\xC3", replacement},                                      // cut short
        {"\xC0\xAF", replacement + replacement},                    // overlong /
        {"\xED\xA0\x80", replacement + replacement + replacement},  // a surrogate
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidUtf8(c.in), c.out) << testing::PrintToString(c.in);
    }
}

TEST(UnexpectedInputTest, NoExceptionLeavesMainAndItsCodeIsItsOwn) {
    const struct {
        std::function<int()> run;
        int status;
        const char* said;  // in the one line on standard error, or nullptr for nothing said
    } cases[] = {
        {[] { return kExitNotFound; }, kExitNotFound, nullptr},
        {[]() -> int { throw std::runtime_error("bad\nbyte"); }, kExitInternal, "bad byte"},
        {[]() -> int { throw 7; }, kExitInternal, "unknown type"},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        EXPECT_EQ(RunCatchingFailures(c.run, err), c.status);
        if (c.said == nullptr) {
            EXPECT_EQ(err.str(), "");
        } else {
            EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
            EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << "one line";
        }
    }
}

}  // namespace
}  // namespace netsonde::cli
