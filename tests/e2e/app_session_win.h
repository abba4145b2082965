// One run of Netsonde.exe under test: starts the program, finds its windows, waits for its scans
// and reads the Scan List window, so that each end-to-end case reads like the operator's steps.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver_win.h"
#include "tests/e2e/sim_log.h"

namespace e2e {

// Window titles and the program's message-box title.
constexpr const char kScanListTitle[] = "Scan List";
constexpr const char kChooserTitle[] = "Netsonde Network Adapter Selection";
constexpr const char kAboutTitle[] = "About Netsonde";
constexpr const char kChangeTitle[] = "Change";
constexpr const char kAppTitle[] = "Netsonde";

// Time a scan takes at most (three receive windows of up to one second) plus a margin.
constexpr DWORD kScanTimeoutMs = 8000;

class AppSession {
  public:
    AppSession() = default;
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    // Starts Netsonde.exe (NETSONDE_EXE, or the one beside the Windows build's test folder).
    bool Start();
    DWORD processId() const { return process_.id(); }
    nsdriver::Process& process() { return process_; }

    // A visible top-level window of the program with this title, or null after the timeout.
    HWND WaitWindow(const std::string& title, DWORD timeoutMs = kScanTimeoutMs);
    // True when the program shows no visible window with this title.
    bool HasWindow(const std::string& title);

    // Starts the program, confirms the adapter chooser's first item with OK and waits for the
    // main window. The lab's workstation always has the loopback interface besides its own, so
    // the chooser opens at start.
    bool StartThroughChooser();

    // The Scan List window, once it is shown (after the first scan); null on timeout.
    HWND WaitMainWindow();
    HWND main() const { return main_; }
    HWND Item(int id) const { return nsdriver::Control(main_, id); }
    HWND List() const;

    // Clicks a Scan List button that starts a scan and waits for the scan to end.
    bool ClickAndWaitScan(int buttonId);

    // The discovery requests on the wire since this session started the program (the
    // simulator's log covers every case of a suite).
    std::vector<WireDatagram> Requests() const;
    // Everything on the wire since this session started the program.
    std::vector<WireDatagram> Wire() const;

    std::vector<std::vector<std::string>> Rows() const;
    // The list's column-n texts in row order.
    std::vector<std::string> Column(int column) const;

    // A message box of this program, whatever its title, once it shows; nothing on timeout.
    std::optional<nsdriver::MessageBoxInfo> WaitMessageBox(DWORD timeoutMs = kScanTimeoutMs);

    // Closes the main window through its close box and returns the exit code.
    std::optional<DWORD> CloseAndWait();

  private:
    nsdriver::Process process_;
    HWND main_ = nullptr;
    size_t wireBefore_ = 0;
    size_t requestsBefore_ = 0;
};

// The lab's workstation addresses in interface order (NETSONDE_LAB_WS_ADDRS).
std::vector<std::string> LabAddresses();
// The lab's workstation interface names in order (NETSONDE_LAB_WS_IFS).
std::vector<std::string> LabInterfaces();

// The datagrams the simulated devices received so far (the runner's NETSONDE_E2E_SIM_LOG).
std::vector<WireDatagram> WireLog();
// The discovery requests among them: 612 bytes, marker 0xAB, opcode 1.
std::vector<WireDatagram> WireDiscoveryRequests();

// The lines the browser recorder wrote (one per start of "iexplore").
std::vector<std::string> BrowserStarts();

}  // namespace e2e
