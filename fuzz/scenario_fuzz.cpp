// The simulator's scenario parser on arbitrary files: it either gives a scenario within its
// limits or one error naming a line of the file, and never reads out of bounds or grows
// without limit.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tools/devsim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    std::istringstream stream(file);
    devsim::Scenario scenario;
    devsim::ParseError error;
    if (devsim::ParseScenario(stream, &scenario, &error)) {
        FUZZ_CHECK(scenario.devices.size() <= devsim::kMaxDevices);
        return 0;
    }
    const std::size_t lines =
        static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')) + 1;
    FUZZ_CHECK(error.line >= 1 && static_cast<std::size_t>(error.line) <= lines);
    FUZZ_CHECK(!error.message.empty());
    FUZZ_CHECK(!devsim::FormatParseError("fuzz.scn", error).empty());
    return 0;
}
