// The plan command: one scan, the devices the filters pick, an address each from the shared
// assignment, and a plan CSV that apply reads as it is. Nothing but discovery is sent.
#include <iostream>

#include "cli/batch_plan.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/scan_run.h"
#include "commission/plan_file.h"
#include "config/address_check.h"
#include "protocol/ipv4_number.h"
#include "protocol/text_forms.h"
#include "protocol/text_escapes.h"

namespace netsonde::cli {
namespace {

// The Change dialog's message for each address given, before anything is sent.
std::vector<std::string> AddressProblems(const PlanOptions& options) {
    const struct {
        const char* option;
        const char* column;
        const std::optional<std::string>* text;
    } given[] = {{"--mask", "mask", &options.change.mask},
                 {"--gateway", "gateway", &options.change.gateway},
                 {"--tftp", "tftp", &options.change.tftp}};
    std::vector<std::string> problems;
    if (!options.ipFrom.empty()) {
        const std::string message = commission::PlanAddressMessage("ip", options.ipFrom);
        if (!message.empty()) {
            problems.push_back("--ip-from: " + message);
        }
    }
    for (const auto& address : given) {
        if (*address.text) {
            const std::string message =
                commission::PlanAddressMessage(address.column, **address.text);
            if (!message.empty()) {
                problems.push_back(std::string(address.option) + ": " + message);
            }
        }
    }
    return problems;
}

}  // namespace

int RunPlanCommand(PlanOptions options) {
    std::vector<std::string> problems = AddressProblems(options);
    std::vector<DeviceMatch> matches;
    for (const std::string& text : options.matches) {
        DeviceMatch match;
        std::string error;
        if (!ParseDeviceMatch(text, &match, &error)) {
            problems.push_back(error);
        }
        matches.push_back(match);
    }
    const std::string textProblem = commission::CheckOptionTexts(&options.change);
    if (!textProblem.empty()) {
        problems.push_back(textProblem);
    }
    if (!problems.empty()) {
        for (const std::string& problem : problems) {
            Complain(problem);
        }
        return kExitUsage;
    }

    std::vector<LocalAdapter> adapters;
    ScanRun scan;
    const int scanned = ScanBeforeSending(options.adapters, &adapters, &scan);
    if (scanned != kExitDone) {
        return scanned;
    }
    // Every address of this workstation, not only the adapters scanned.
    std::vector<LocalAdapter> own;
    std::string error;
    ReadLocalAdapters(&own, &error);
    std::vector<std::uint32_t> ownAddresses;
    for (const LocalAdapter& adapter : own) {
        ownAddresses.push_back(Ipv4Number(ParseDottedQuad(adapter.address.c_str())));
    }

    BatchSettings settings;
    if (!options.ipFrom.empty()) {
        settings.first = Ipv4Number(ParseDottedQuad(options.ipFrom.c_str()));
    }
    settings.step = options.step;
    settings.common = options.change;
    const BatchPlan plan = PlanBatch(scan.devices, matches, settings, ownAddresses);
    if (plan.devices.empty()) {
        Complain(std::to_string(scan.devices.devices().size()) +
                 " device(s) found, none matches; no plan written");
        return Worst(scan.status, kExitNotFound);
    }
    for (const std::string& problem : plan.problems) {
        Complain(problem);
    }
    if (!plan.problems.empty()) {
        Complain("no plan written");
        return kExitUsage;
    }

    const std::string csv = commission::WritePlan(plan.rows);
    if (options.output.empty()) {
        std::cout << csv << std::flush;
    } else if (!WriteTextFile(options.output, csv, &error)) {
        Complain(error);
        return kExitUsage;
    }
    // What the plan does, where it does not drown the CSV on standard output.
    std::ostream& notes = options.output.empty() ? std::cerr : std::cout;
    for (std::size_t k = 0; k < plan.devices.size(); ++k) {
        const DeviceRecord& record = plan.devices[k]->record;
        const std::optional<std::string>& ip = plan.rows[k].options.ip;
        notes << plan.rows[k].mac << "  " << FormatIpText(record.ipAddress())
              << (ip ? " → " + *ip : " (kept)") << "  "
              << TerminalText(commission::FieldText(record, "name")) << '\n';
        if (plan.devices[k]->adapters.size() > 1 && options.adapters.empty()) {
            notes << "  heard on " << plan.devices[k]->adapters.size()
                  << " adapters: apply this plan with --adapter\n";
        }
    }
    notes << plan.devices.size() << " device(s)";
    if (settings.first) {
        notes << ", subnet mask " << FormatIpText(Ipv4FromNumber(plan.mask))
              << (plan.maskOfDevices ? " (the devices' own)" : "");
    }
    if (!options.output.empty()) {
        notes << "; plan written to " << options.output;
    }
    notes << '\n';
    return Worst(scan.status, kExitDone);
}

}  // namespace netsonde::cli
