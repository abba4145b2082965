// What the program does when something inside throws: one line and a code of its own, never an
// abort that Windows reports as 3.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cli/exit_status.h"
#include "cli/unexpected_failure.h"

namespace netsonde::cli {
namespace {

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
