// The apply command: a commissioning plan checked whole before anything is sent, one scan, the
// requests one by one, one shared verification, and a result per row.
#include <iostream>
#include <set>

#include "cli/change_output.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/platform.h"
#include "cli/scan_run.h"
#include "commission/apply_report.h"
#include "commission/device_change.h"
#include "commission/plan_file.h"
#include "config/address_check.h"
#include "protocol/text_escapes.h"
#include "protocol/text_forms.h"

namespace netsonde::cli {

using namespace commission;

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct RowResult {
    const PlanRow* row = nullptr;
    std::string outcome = "not sent";
    std::string detail;
    std::vector<FieldChange> changes;  // old and requested values
    std::string adapter;
    DeviceRecord stored, request;
    int status = kExitDone;
};

std::string ReportText(const std::string& path, const std::string& planPath,
                       const std::vector<RowResult>& results) {
    std::vector<ReportRow> rows;
    for (const RowResult& result : results) {
        rows.push_back(
            {result.row->line, result.row->mac, result.outcome, result.detail, result.changes});
    }
    return EndsWith(path, ".json") ? ApplyReportJson(planPath, rows) : ApplyReportCsv(rows);
}

int Finish(const ApplyOptions& options, const std::vector<RowResult>& results, int status) {
    if (!options.report.empty() && !results.empty()) {
        std::string error;
        if (!WriteTextFile(options.report, ReportText(options.report, options.plan, results),
                           &error)) {
            Complain(error);
            status = Worst(status, kExitUsage);
        }
    }
    return status;
}

}  // namespace

int RunApplyCommand(const ApplyOptions& options) {
    if (!options.report.empty() && !EndsWith(options.report, ".csv") &&
        !EndsWith(options.report, ".json")) {
        Complain("--report names a .csv or a .json file");
        return kExitUsage;
    }
    std::string text, error;
    if (!ReadTextFile(options.plan, &text, &error)) {
        Complain(error);
        return kExitUsage;
    }
    const Plan plan = ReadPlan(options.plan, text);
    for (const std::string& problem : plan.errors) {
        std::cerr << TerminalText(problem) << '\n';
    }
    if (!plan.errors.empty()) {
        Complain(std::to_string(plan.errors.size()) + " error(s) in the plan; nothing was sent");
        return kExitUsage;
    }
    if (plan.rows.empty()) {
        Complain(options.plan + ": no rows; nothing to do");
        return kExitDone;
    }

    std::vector<LocalAdapter> adapters;
    ScanRun scan;
    const int scanned = ScanBeforeSending(options.send.adapters, &adapters, &scan);
    if (scanned != kExitDone) {
        return scanned;
    }

    // The checks that need the scan: every problem is listed, and with any of them nothing
    // is sent.
    // A device the plan gives another address frees the one it holds, so a plan may move
    // devices along (as plan writes when it hands addresses out again from the same start).
    std::set<std::string> movingAway;
    for (const PlanRow& row : plan.rows) {
        const FoundDevice* device = scan.devices.Find(row.mac);
        if (device != nullptr && row.options.ip &&
            ParseDottedQuad(row.options.ip->c_str()) != device->record.ipAddress()) {
            movingAway.insert(row.mac);
        }
    }
    std::vector<RowResult> results(plan.rows.size());
    int checkStatus = kExitDone;
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const PlanRow& row = plan.rows[i];
        RowResult& result = results[i];
        result.row = &row;
        const auto problem = [&](const std::string& outcome, const std::string& what, int status) {
            std::cerr << TerminalText(options.plan) << ":" << row.line << ": " << row.mac << ": "
                      << TerminalText(what) << '\n';
            result.outcome = outcome;
            result.detail = what;
            checkStatus = Worst(checkStatus, status);
        };
        const FoundDevice* device = scan.devices.Find(row.mac);
        if (device == nullptr) {
            problem("not found", "not found", kExitNotFound);
            continue;
        }
        result.stored = device->record;
        if (device->adapters.size() > 1) {
            std::string where;
            for (const std::string& adapter : device->adapters) {
                where += (where.empty() ? "" : ", ") + adapter;
            }
            problem("invalid", "heard on " + where + ": name one with --adapter", kExitUsage);
            continue;
        }
        result.adapter = device->adapters.front();
        const PlannedChange change = PlanChange(device->record, row.options);
        if (!change.error.empty()) {
            problem("invalid", change.error, kExitUsage);
            continue;
        }
        result.request = change.request;
        result.changes = RequestedChanges(device->record, change.request);
        const Ipv4Bytes newIp = change.request.ipAddress();
        for (const FoundDevice& other : scan.devices.devices()) {
            const std::string otherMac = FormatMacText(other.record.mac());
            if (otherMac != row.mac && other.record.ipAddress() == newIp &&
                newIp != device->record.ipAddress() && movingAway.count(otherMac) == 0) {
                problem("invalid",
                        "ip " + FormatIpText(newIp) + " is held by " +
                            FormatMacText(other.record.mac()) + " (" +
                            FieldText(other.record, "name") + ")",
                        kExitUsage);
                break;
            }
        }
    }
    if (checkStatus != kExitDone) {
        Complain("the plan does not fit the devices found; nothing was sent");
        return Finish(options, results, checkStatus);
    }

    if (options.send.dryRun) {
        for (RowResult& result : results) {
            std::cout << options.plan << ":" << result.row->line << " " << result.row->mac << " ("
                      << TerminalText(FieldText(result.stored, "name")) << ") on " << result.adapter
                      << '\n'
                      << ChangeLines(result.changes, "  ") << "  ChangeMask "
                      << MaskText(result.request.fieldMask()) << '\n';
            result.outcome = "dry run";
        }
        std::cout << "dry run: no set request sent\n";
        return Finish(options, results, kExitDone);
    }

    int status = kExitDone;
    std::vector<PendingCheck> checks;
    std::vector<std::size_t> checkRows;
    std::vector<std::string> done;
    for (std::size_t i = 0; i < results.size(); ++i) {
        RowResult& result = results[i];
        if (Interrupted()) {
            break;
        }
        std::string socketError;
        const ExchangeOutcome outcome =
            SendSetRequest(result.request, result.adapter, &socketError);
        if (!socketError.empty()) {
            Complain(socketError + " on " + result.adapter);
        }
        result.detail = OutcomeText(outcome);
        result.status = OutcomeStatus(outcome);
        result.outcome = outcome.result == ExchangeResult::Accepted   ? "accepted"
                         : outcome.result == ExchangeResult::Rejected ? "refused"
                         : outcome.result == ExchangeResult::NoAnswer ? "no answer"
                                                                      : "not sent";
        std::cout << options.plan << ":" << result.row->line << " " << result.row->mac << ": "
                  << result.detail << std::endl;
        done.push_back(std::to_string(result.row->line));
        status = Worst(status, result.status);
        if (outcome.result == ExchangeResult::Accepted && options.send.verify) {
            PendingCheck check;
            check.mac = result.row->mac;
            check.stored = result.stored;
            check.request = result.request;
            checks.push_back(check);
            checkRows.push_back(i);
        }
    }
    const auto interrupted = [&] {
        std::string lines;
        for (const std::string& line : done) {
            lines += (lines.empty() ? "" : ", ") + line;
        }
        Complain("interrupted; rows done (lines): " + (lines.empty() ? "none" : lines));
        return Finish(options, results, kExitInterrupted);
    };
    if (Interrupted()) {
        return interrupted();
    }
    if (!checks.empty()) {
        std::vector<LocalAdapter> where;
        for (std::size_t r : checkRows) {
            for (const LocalAdapter& adapter : adapters) {
                if (adapter.address == results[r].adapter &&
                    std::none_of(where.begin(), where.end(), [&](const LocalAdapter& known) {
                        return known.address == adapter.address;
                    })) {
                    where.push_back(adapter);
                }
            }
        }
        if (!VerifyChanges(RescanAdapters(where), options.send.verifyTimeoutSeconds, &checks)) {
            return interrupted();
        }
        for (std::size_t c = 0; c < checks.size(); ++c) {
            RowResult& result = results[checkRows[c]];
            if (checks[c].verified) {
                result.outcome = "accepted, verified";
                result.changes = SeenChanges(checks[c]);
            } else {
                result.outcome = "not verified";
                result.detail = checks[c].heard ? "still differs: " : "not heard again";
                for (const std::string& key : checks[c].pending) {
                    result.detail += key + " ";
                }
                result.status = kExitNotVerified;
                status = Worst(status, kExitNotVerified);
            }
        }
    }
    for (const RowResult& result : results) {
        std::cout << options.plan << ":" << result.row->line << " " << result.row->mac << ": "
                  << result.outcome << '\n';
    }
    return Finish(options, results, status);
}

}  // namespace netsonde::cli
