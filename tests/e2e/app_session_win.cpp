// One run of Netsonde.exe under test; see app_session_win.h.
#include "tests/e2e/app_session_win.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "res/resource.h"
#include "tests/e2e/e2e_env_win.h"

namespace e2e {

AppSession::~AppSession() {
    process_.Kill();
}

bool AppSession::Start() {
    wireBefore_ = WireLog().size();
    requestsBefore_ = WireDiscoveryRequests().size();
    process_ = nsdriver::Process::Start("\"" + NetsondeExe() + "\"");
    return process_.started();
}

HWND AppSession::WaitWindow(const std::string& title, DWORD timeoutMs) {
    nsdriver::WindowQuery query;
    query.title = title;
    query.processId = process_.id();
    return nsdriver::WaitTopWindow(query, timeoutMs);
}

bool AppSession::HasWindow(const std::string& title) {
    nsdriver::WindowQuery query;
    query.title = title;
    query.processId = process_.id();
    return !nsdriver::FindTopWindows(query).empty();
}

bool AppSession::StartThroughChooser() {
    if (!Start()) {
        return false;
    }
    HWND chooser = WaitWindow(kChooserTitle);
    if (chooser == nullptr) {
        return false;
    }
    nsdriver::Click(nsdriver::Control(chooser, IDOK));
    return WaitMainWindow() != nullptr;
}

HWND AppSession::WaitMainWindow() {
    main_ = WaitWindow(kScanListTitle, kScanTimeoutMs + 4000);
    if (main_ != nullptr) {
        nsdriver::Settle(main_, kScanTimeoutMs);
    }
    return main_;
}

HWND AppSession::List() const {
    return Item(IDC_SCAN_DEVICE_LIST);
}

bool AppSession::ClickAndWaitScan(int buttonId) {
    nsdriver::Click(Item(buttonId));
    // The scan holds the window's thread; the round trip ends when the scan has.
    return nsdriver::Settle(main_, kScanTimeoutMs);
}

namespace {

std::vector<WireDatagram> From(std::vector<WireDatagram> all, size_t first) {
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())));
    return all;
}

}  // namespace

std::vector<WireDatagram> AppSession::Requests() const {
    return From(WireDiscoveryRequests(), requestsBefore_);
}

std::vector<WireDatagram> AppSession::Wire() const {
    return From(WireLog(), wireBefore_);
}

std::vector<std::vector<std::string>> AppSession::Rows() const {
    return nsdriver::ListRows(List());
}

std::vector<std::string> AppSession::Column(int column) const {
    std::vector<std::string> texts;
    const int count = nsdriver::ListItemCount(List());
    for (int row = 0; row < count; ++row) {
        texts.push_back(nsdriver::ListItemText(List(), row, column));
    }
    return texts;
}

std::optional<nsdriver::MessageBoxInfo> AppSession::WaitMessageBox(DWORD timeoutMs) {
    // Any title, so a box with a wrong title is found too; the program's own dialogs, which
    // have unnumbered static texts as well, are left out by their titles.
    const std::string dialogs[] = {kScanListTitle, kChooserTitle, kAboutTitle, kChangeTitle};
    HWND box = nullptr;
    nsdriver::WaitUntil(
        [&] {
            for (HWND candidate : nsdriver::FindMessageBoxes(std::string(), process_.id())) {
                const std::string title = nsdriver::WindowText(candidate);
                if (std::find(std::begin(dialogs), std::end(dialogs), title) == std::end(dialogs)) {
                    box = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    if (box == nullptr) {
        return std::nullopt;
    }
    return nsdriver::ReadMessageBox(box);
}

std::optional<DWORD> AppSession::CloseAndWait() {
    if (main_ != nullptr) {
        nsdriver::RequestClose(main_);
    }
    return process_.WaitExit(5000);
}

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

}  // namespace

std::vector<std::string> LabAddresses() {
    return Words(EnvOr("NETSONDE_LAB_WS_ADDRS"));
}

std::vector<std::string> LabInterfaces() {
    return Words(EnvOr("NETSONDE_LAB_WS_IFS"));
}

std::vector<WireDatagram> WireLog() {
    return ParseSimLog(ReadFileText(EnvOr("NETSONDE_E2E_SIM_LOG")));
}

std::vector<WireDatagram> WireDiscoveryRequests() {
    std::vector<WireDatagram> requests;
    for (WireDatagram& datagram : WireLog()) {
        if (datagram.bytes.size() == 612 && datagram.bytes[0] == 0xAB && datagram.bytes[1] == 1) {
            requests.push_back(std::move(datagram));
        }
    }
    return requests;
}

std::vector<std::string> BrowserStarts() {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileText(EnvOr("NETSONDE_E2E_BROWSER_LOG")));
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace e2e
