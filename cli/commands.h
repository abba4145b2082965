// The program's commands, each returning its exit code (exit_status.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commission/change_plan.h"

namespace netsonde::cli {

int RunAdaptersCommand(bool json);

struct ScanOptions {
    std::vector<std::string> adapters;
    std::string format = "table";
    std::string save;
    std::string since;
    bool newest = false;
};
int RunScanCommand(const ScanOptions& options);

// What set and apply share: where to send, and how the outcome is confirmed.
struct SendOptions {
    std::vector<std::string> adapters;  // empty: every usable adapter
    bool dryRun = false;
    bool verify = true;
    int verifyTimeoutSeconds = 60;
};

struct SetOptions {
    std::string mac;
    SendOptions send;
    commission::ChangeOptions change;
};
int RunSetCommand(SetOptions options);

struct ApplyOptions {
    std::string plan;
    std::string report;  // .csv or .json; empty: none
    SendOptions send;
};
int RunApplyCommand(const ApplyOptions& options);

struct PlanOptions {
    std::vector<std::string> adapters;  // empty: every usable adapter
    std::vector<std::string> matches;   // KEY=VALUE each
    std::string ipFrom;                 // empty only with --dynamic
    unsigned step = 1;
    commission::ChangeOptions change;  // type, mask, gateway, tftp, image
    std::string output;                // empty: standard output
};
int RunPlanCommand(PlanOptions options);

}  // namespace netsonde::cli
