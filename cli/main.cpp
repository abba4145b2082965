// netsonde-cli: the devices of the local segments from a command line. The arguments are read
// here; each command lives in its own file.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"

namespace netsonde::cli {
namespace {

int Run(int argc, char** argv) {
    CLI::App app{
        "Finds the managed network devices on every local segment at once and changes "
        "their network settings (UDP broadcast, port 2719).",
        kProgramName};
    app.set_version_flag("--version", kProgramVersion, "Print the version and exit");
    app.require_subcommand(1, 1);
    app.footer(
        "Exit codes: 0 done, 1 usage or validation error (nothing sent), 2 sockets or "
        "adapter failure, 3 refused, 4 no answer, 5 not verified, 6 not found, "
        "130 interrupted.");

    bool adaptersJson = false;
    CLI::App* adapters =
        app.add_subcommand("adapters", "List every usable IPv4 address with its interface");
    adapters->add_flag("--json", adaptersJson, "A JSON list of {\"address\", \"interface\"}");

    ScanOptions scan;
    CLI::App* scanCommand = app.add_subcommand(
        "scan", "Find the devices on every usable adapter at once (about three seconds)");
    scanCommand
        ->add_option("--adapter", scan.adapters,
                     "Scan only this adapter: an address or an interface name (repeatable)")
        ->allow_extra_args(false);
    scanCommand->add_option("--format", scan.format, "table (default), csv or json")
        ->check(CLI::IsMember({"table", "csv", "json"}));
    scanCommand->add_option("--save", scan.save, "Also write the scan as JSON to this file");
    scanCommand->add_option("--since", scan.since,
                            "Compare with an earlier scan saved with --save: new, gone, "
                            "changed or same, and the fields that changed");
    scanCommand->add_flag("--newest", scan.newest,
                          "Order by uptime, lowest first (gone devices last)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitDone : kExitUsage;
    }

    PrepareConsole();
    InstallInterruptHandler();
    std::string error;
    if (!StartSockets(&error)) {
        Complain(error);
        return kExitSockets;
    }
    int status = kExitDone;
    if (*adapters) {
        status = RunAdaptersCommand(adaptersJson);
    } else if (*scanCommand) {
        status = RunScanCommand(scan);
    }
    StopSockets();
    return status;
}

}  // namespace
}  // namespace netsonde::cli

int main(int argc, char** argv) {
    return netsonde::cli::Run(argc, argv);
}
