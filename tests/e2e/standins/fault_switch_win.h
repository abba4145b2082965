// What the stand-in DLLs of the fault-injection tests share: which faults are switched on, and
// the real DLL each stand-in passes everything else to.
//
// The file named by the environment variable NETSONDE_FAULT_FILE lists one fault per line: its
// name, and for some faults an argument after a space ("interfaces-only ws1"). The file is read
// again at every question, so a test can switch a fault on or off while the program runs. With
// no variable or no file, no fault is on and a stand-in behaves exactly as the real DLL.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace standin {

// The argument of the named fault ("" when it has none) while that fault is switched on.
std::optional<std::string> Fault(const char* name);

inline bool FaultOn(const char* name) {
    return Fault(name).has_value();
}

// An export of Wine's own DLL, which the test prefix keeps beside the stand-in under another
// name (wsock32_wine.dll, iphlpapi_wine.dll). Ends the process when it cannot be found: a
// stand-in that cannot reach the real DLL must not pass for one that injects no fault.
FARPROC RealProc(const char* dll, const char* name);

template <typename Function>
Function Real(const char* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(RealProc(dll, name)));
}

}  // namespace standin
