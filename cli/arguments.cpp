// The command line of netsonde-cli, with CLI11; see arguments.h.
#include "cli/arguments.h"

#include <CLI/CLI.hpp>

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/help_formatter.h"

namespace netsonde::cli {
namespace {

// --adapter, --dry-run, --no-verify and --verify-timeout, as set and apply share them.
void AddSendOptions(CLI::App* command, SendOptions* send) {
    command
        ->add_option("--adapter", send->adapters,
                     "Scan and send only on this adapter: an address or an interface name")
        ->allow_extra_args(false);
    command->add_flag("--dry-run", send->dryRun,
                      "Print the fields and the ChangeMask; send no set request");
    command->add_flag_callback(
        "--no-verify", [send] { send->verify = false; }, "Do not rescan to verify the change");
    command
        ->add_option("--verify-timeout", send->verifyTimeoutSeconds,
                     "Seconds to rescan until the device shows the new values (default 60, for "
                     "devices that reboot; at most 86400)")
        ->check(CLI::Range(0, 86400))
        ->type_name("SECONDS");
}

// --adapter, repeatable, as scan and plan take it.
void AddScanAdapters(CLI::App* command, std::vector<std::string>* adapters) {
    command
        ->add_option("--adapter", *adapters,
                     "Scan only this adapter: an address or an interface name (repeatable)")
        ->allow_extra_args(false);
}

void AddChangeOptions(CLI::App* command, commission::ChangeOptions* change) {
    CLI::Option* isStatic = command->add_flag_callback(
        "--static", [change] { change->type = AddressType::Static; }, "Make the address static");
    CLI::Option* isDynamic = command->add_flag_callback(
        "--dynamic", [change] { change->type = AddressType::Dynamic; }, "Make the address dynamic");
    isStatic->excludes(isDynamic);
    command->add_option("--ip", change->ip, "IP address (static devices)");
    command->add_option("--mask", change->mask, "Subnet mask (static devices)");
    command->add_option("--gateway", change->gateway, "Gateway IP address (static devices)");
    command->add_option("--tftp", change->tftp, "TFTP server IP address");
    command->add_option("--image", change->image, "Image file name");
    command->add_option("--password", change->password,
                        "Read/write password (left out: empty, as in the Change dialog)");
    command->add_option("--name", change->name, "System name (carried, never flagged)");
}

}  // namespace

int ParseArguments(int argc, const char* const* argv, Arguments* arguments, std::ostream& out,
                   std::ostream& err) {
    CLI::App app{
        "Finds the managed network devices on every local segment at once and changes "
        "their network settings (UDP broadcast, port 2719).",
        kProgramName};
    // Before the commands are added: each takes its parent's formatter.
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_version_flag("--version", kProgramVersion, "Print the version and exit");
    app.require_subcommand(1, 1);
    app.footer(
        "Exit codes: 0 done, 1 usage or validation error (nothing sent), 2 sockets or "
        "adapter failure, 3 refused, 4 no answer, 5 not verified, 6 not found, "
        "130 interrupted.");

    CLI::App* adapters =
        app.add_subcommand("adapters", "List every usable IPv4 address with its interface");
    adapters->add_flag("--json", arguments->adaptersJson,
                       "A JSON list of {\"address\", \"interface\"}");

    ScanOptions& scan = arguments->scan;
    CLI::App* scanCommand = app.add_subcommand(
        "scan", "Find the devices on every usable adapter at once (about three seconds)");
    AddScanAdapters(scanCommand, &scan.adapters);
    scanCommand->add_option("--format", scan.format, "table (default), csv or json")
        ->check(CLI::IsMember({"table", "csv", "json"}))
        ->type_name("table|csv|json");
    scanCommand->add_option("--save", scan.save, "Also write the scan as JSON to this file")
        ->type_name("FILE");
    scanCommand
        ->add_option("--since", scan.since,
                     "Compare with an earlier scan saved with --save: new, gone, "
                     "changed or same, and the fields that changed")
        ->type_name("FILE");
    scanCommand->add_flag("--newest", scan.newest,
                          "Order by uptime, lowest first (gone devices last)");

    SetOptions& set = arguments->set;
    CLI::App* setCommand = app.add_subcommand(
        "set", "Change one device's settings as the Change dialog does, then verify the change");
    setCommand
        ->add_option("MAC", set.mac, "The device, e.g. 02-1f-00-0a-b3-7c or 02:1F:00:0A:B3:7C")
        ->required();
    AddSendOptions(setCommand, &set.send);
    AddChangeOptions(setCommand, &set.change);
    setCommand->footer(
        "An option left out keeps the value the Change dialog shows for the device untouched: "
        "its stored value, except the password, which is empty unless --password is given (as "
        "in the dialog). The name is carried in the request but never flagged in the "
        "ChangeMask: whether a device applies it is the device's.");

    ApplyOptions& apply = arguments->apply;
    CLI::App* applyCommand = app.add_subcommand(
        "apply", "Change many devices from a plan (CSV), check everything first, verify once");
    applyCommand
        ->add_option("PLAN", apply.plan,
                     "The plan: a CSV file with a mac column and "
                     "any of type, ip, mask, gateway, tftp, image, "
                     "password, name")
        ->required();
    applyCommand
        ->add_option("--report", apply.report,
                     "Write old and new values and the outcome per row (.csv or .json)")
        ->type_name("FILE");
    AddSendOptions(applyCommand, &apply.send);
    applyCommand->footer(
        "An empty cell leaves that option out, as for set. The plan is checked "
        "whole, then against one scan; with any error nothing is sent.");

    PlanOptions& plan = arguments->plan;
    CLI::App* planCommand = app.add_subcommand(
        "plan", "Write a plan for apply: the devices that match, each with the next free address");
    AddScanAdapters(planCommand, &plan.adapters);
    planCommand
        ->add_option("--match", plan.matches,
                     "Take only devices whose KEY is VALUE (repeatable, all must hold): KEY is ip, "
                     "name, mac, type or description; * in VALUE stands for any text")
        ->allow_extra_args(false)
        ->type_name("KEY=VALUE");
    CLI::Option* ipFrom = planCommand
                              ->add_option("--ip-from", plan.ipFrom,
                                           "The first address; each device gets the next free one")
                              ->type_name("A");
    CLI::Option* step =
        planCommand->add_option("--step", plan.step, "Count by this many (1 to 255, default 1)")
            ->check(CLI::Range(1, 255))
            ->type_name("N");
    CLI::Option* planStatic = planCommand->add_flag_callback(
        "--static", [&plan] { plan.change.type = AddressType::Static; }, "Make the address static");
    CLI::Option* planDynamic = planCommand->add_flag_callback(
        "--dynamic", [&plan] { plan.change.type = AddressType::Dynamic; },
        "Make the address dynamic (no --ip-from then)");
    planStatic->excludes(planDynamic);
    CLI::Option* planMask =
        planCommand
            ->add_option(
                "--mask", plan.change.mask,
                "Subnet mask for every device, and the subnet the addresses stay in (left out: the "
                "devices' own, when they all hold one)")
            ->type_name("A");
    CLI::Option* planGateway =
        planCommand->add_option("--gateway", plan.change.gateway, "Gateway IP address")
            ->type_name("A");
    for (CLI::Option* address : {ipFrom, step, planMask, planGateway}) {
        planDynamic->excludes(address);
    }
    planCommand->add_option("--tftp", plan.change.tftp, "TFTP server IP address")->type_name("A");
    planCommand->add_option("--image", plan.change.image, "Image file name")->type_name("T");
    planCommand
        ->add_option("--output", plan.output,
                     "Write the plan to this file (left out: standard output)")
        ->type_name("FILE");
    planCommand->callback([&plan, planDynamic] {
        if (plan.ipFrom.empty() && planDynamic->count() == 0) {
            throw CLI::RequiredError("--ip-from (or --dynamic)");
        }
    });
    planCommand->footer(
        "Scans (nothing else is sent), takes the devices that match, by MAC, and gives each "
        "the next address from --ip-from by --step that no other device found and no address "
        "of this workstation holds, leaving out the subnet's network and broadcast addresses "
        "and never leaving the subnet. A device already on its address keeps it (empty ip "
        "cell). The CSV has a mac column and one for each setting given; never a password. "
        "Exit code 6 when no device matches, 1 when they do not fit.");

    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->group("Commands");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? kExitDone : kExitUsage;
    }
    arguments->command = *adapters       ? Command::Adapters
                         : *scanCommand  ? Command::Scan
                         : *setCommand   ? Command::Set
                         : *applyCommand ? Command::Apply
                                         : Command::Plan;
    return -1;
}

}  // namespace netsonde::cli
