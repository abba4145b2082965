// netsonde-cli: the devices of the local segments from a command line. Reads the arguments,
// starts the platform's pieces and runs the command.
#include <iostream>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"

namespace netsonde::cli {
namespace {

int Run(int argc, char** argv) {
    Arguments arguments;
    const int parsed = ParseArguments(argc, argv, &arguments, std::cout, std::cerr);
    if (parsed >= 0) {
        return parsed;
    }
    PrepareConsole();
    InstallInterruptHandler();
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
    return netsonde::cli::Run(argc, argv);
}
