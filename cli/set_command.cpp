// The set command: find the device, build the request the Change dialog would send for the same
// inputs, send it, and rescan until the device shows the new values.
#include <iostream>

#include "cli/change_output.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"
#include "cli/scan_run.h"
#include "commission/device_change.h"
#include "protocol/text_escapes.h"
#include "protocol/text_forms.h"

namespace netsonde::cli {

using namespace commission;

namespace {

std::string JoinAdapters(const std::vector<std::string>& adapters) {
    std::string text;
    for (const std::string& adapter : adapters) {
        text += (text.empty() ? "" : ", ") + adapter;
    }
    return text;
}

}  // namespace

int RunSetCommand(SetOptions options) {
    MacBytes macBytes{};
    if (!ParseMacArgument(options.mac, &macBytes)) {
        Complain("not a MAC address: " + options.mac + " (six hexadecimal pairs joined by - or :)");
        return kExitUsage;
    }
    const std::string mac = FormatMacText(macBytes);
    const std::string optionProblem = CheckOptionTexts(&options.change);
    if (!optionProblem.empty()) {
        Complain(optionProblem);
        return kExitUsage;
    }

    std::vector<LocalAdapter> adapters;
    ScanRun scan;
    const int scanned = ScanBeforeSending(options.send.adapters, &adapters, &scan);
    if (scanned != kExitDone) {
        return scanned;
    }
    const FoundDevice* device = scan.devices.Find(mac);
    if (device == nullptr) {
        Complain(mac + ": not found");
        return Worst(kExitNotFound, scan.status);
    }
    if (device->adapters.size() > 1) {
        Complain(mac + " was heard on " + JoinAdapters(device->adapters) +
                 ": name one with --adapter");
        return kExitUsage;
    }
    const PlannedChange plan = PlanChange(device->record, options.change);
    if (!plan.error.empty()) {
        Complain(mac + ": " + plan.error);
        return kExitUsage;
    }
    const std::string& adapter = device->adapters.front();
    std::cout << mac << " (" << TerminalText(FieldText(device->record, "name")) << ") on "
              << adapter << '\n'
              << ChangeLines(RequestedChanges(device->record, plan.request), "  ")
              << "  ChangeMask " << MaskText(plan.request.fieldMask()) << '\n';
    if (options.send.dryRun) {
        std::cout << "dry run: no set request sent\n";
        return kExitDone;
    }

    std::string socketError;
    const ExchangeOutcome outcome = SendSetRequest(plan.request, adapter, &socketError);
    if (!socketError.empty()) {
        Complain(socketError + " on " + adapter);
    }
    std::cout << mac << ": " << OutcomeText(outcome) << std::endl;
    if (Interrupted()) {
        Complain("interrupted after the set request; not verified");
        return kExitInterrupted;
    }
    if (outcome.result != ExchangeResult::Accepted || !options.send.verify) {
        return OutcomeStatus(outcome);
    }

    std::vector<PendingCheck> checks(1);
    checks[0].mac = mac;
    checks[0].stored = device->record;
    checks[0].request = plan.request;
    const std::vector<LocalAdapter> where = ChooseAdapters(adapters, {adapter}, nullptr);
    if (!VerifyChanges(RescanAdapters(where), options.send.verifyTimeoutSeconds, &checks)) {
        Complain("interrupted during verification; the change was accepted but not verified");
        return kExitInterrupted;
    }
    const PendingCheck& check = checks[0];
    if (!check.verified) {
        std::cout << mac << ": not verified after " << options.send.verifyTimeoutSeconds << " s: ";
        if (!check.heard) {
            std::cout << "not heard again\n";
        } else {
            std::string fields;
            for (const std::string& key : check.pending) {
                fields += (fields.empty() ? "" : ", ") + key + " shows " +
                          TerminalText(FieldText(check.seen, key)) + " (requested " +
                          TerminalText(FieldText(check.request, key)) + ")";
            }
            std::cout << fields << '\n';
        }
        return kExitNotVerified;
    }
    std::cout << mac << ": verified\n" << ChangeLines(SeenChanges(check), "  ");
    return kExitDone;
}

}  // namespace netsonde::cli
