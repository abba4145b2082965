// The last line of defence of main: no exception leaves the program as an abort, whose exit code
// Windows reports as 3 ("some device refused").
#pragma once

#include <functional>
#include <ostream>

namespace netsonde::cli {

// run's exit code; when it throws, one line on `err` saying what failed and kExitInternal.
int RunCatchingFailures(const std::function<int()>& run, std::ostream& err);

}  // namespace netsonde::cli
