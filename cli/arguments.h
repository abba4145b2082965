// The command line: every command, option and check, read into plain option structs. Kept apart
// from main so that the command line itself is tested.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace netsonde::cli {

enum class Command { Adapters, Scan, Set, Apply, Plan };

struct Arguments {
    Command command = Command::Adapters;
    bool adaptersJson = false;
    ScanOptions scan;
    SetOptions set;
    ApplyOptions apply;
    PlanOptions plan;
};

// Reads the arguments. Returns -1 when a command is to run; otherwise the exit code, after
// --help or --version went to `out` (0) or a usage error to `err` (1).
int ParseArguments(int argc, const char* const* argv, Arguments* arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace netsonde::cli
