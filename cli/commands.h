// The program's commands, each returning its exit code (exit_status.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

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

}  // namespace netsonde::cli
