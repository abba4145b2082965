// netsonde-cli: the devices of the local segments from a command line. Reads the arguments,
// starts the platform's pieces and runs the command; nothing that goes wrong inside leaves it
// as an abort.
#include <iostream>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"
#include "cli/unexpected_failure.h"

namespace netsonde::cli {
namespace {

int Run(const std::vector<std::string>& words) {
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    Arguments arguments;
    const int parsed = ParseArguments(static_cast<int>(argv.size()), argv.data(), &arguments,
                                      std::cout, std::cerr);
    if (parsed >= 0) {
        return parsed;
    }
    // The handler first: a Ctrl+C must never end the program between the console's switch to
    // UTF-8 and its way back.
    InstallInterruptHandler();
    PrepareConsole();
    std::string error;
    if (!StartSockets(&error)) {
        Complain(error);
        return kExitSockets;
    }
    int status = kExitDone;
    switch (arguments.command) {
        case Command::Adapters:
            status = RunAdaptersCommand(arguments.adaptersJson);
            break;
        case Command::Scan:
            status = RunScanCommand(arguments.scan);
            break;
        case Command::Set:
            status = RunSetCommand(arguments.set);
            break;
        case Command::Apply:
            status = RunApplyCommand(arguments.apply);
            break;
        case Command::Plan:
            status = RunPlanCommand(arguments.plan);
            break;
    }
    StopSockets();
    return status;
}

}  // namespace
}  // namespace netsonde::cli

int main(int argc, char** argv) {
    using namespace netsonde::cli;
    const int status =
        RunCatchingFailures([&] { return Run(CommandLineArguments(argc, argv)); }, std::cerr);
    RestoreConsole();
    return status;
}
