// The command-line program's exit codes. With mixed outcomes the highest code is the answer.
#pragma once

namespace netsonde::cli {

enum ExitStatus : int {
    kExitDone = 0,         // all done (and verified); a dry run without error
    kExitUsage = 1,        // usage or validation error: nothing was sent
    kExitSockets = 2,      // sockets or adapter failure
    kExitRefused = 3,      // some device refused
    kExitNoAnswer = 4,     // some device did not answer
    kExitNotVerified = 5,  // accepted, not done as asked: not seen in time, or a password unflagged
    kExitNotFound = 6,     // some device was not found
    // An unexpected failure inside the program ended it early; what it did before is unknown to
    // the caller. Far from the outcome codes so that no script reads it as one of them.
    kExitInternal = 70,
    kExitInterrupted = 130,  // Ctrl+C
};

inline int Worst(int a, int b) {
    return a > b ? a : b;
}

}  // namespace netsonde::cli
