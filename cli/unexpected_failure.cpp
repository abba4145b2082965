// Catching what nothing else caught; see unexpected_failure.h.
#include "cli/unexpected_failure.h"

#include <exception>
#include <new>
#include <string>

#include "cli/console.h"
#include "cli/exit_status.h"

namespace netsonde::cli {
namespace {

int Report(std::ostream& err, const std::string& what) {
    std::string line = what;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';  // one line, whatever the library put in its message
        }
    }
    err << kProgramName << ": internal error, the command was cut short: " << line << std::endl;
    return kExitInternal;
}

}  // namespace

int RunCatchingFailures(const std::function<int()>& run, std::ostream& err) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        err << kProgramName << ": internal error, the command was cut short: out of memory"
            << std::endl;
        return kExitInternal;
    } catch (const std::exception& failure) {
        return Report(err, failure.what());
    } catch (...) {
        return Report(err, "an exception of unknown type");
    }
}

}  // namespace netsonde::cli
