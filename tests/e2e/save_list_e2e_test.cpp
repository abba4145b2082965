// End-to-end case of Save List As: the list saved from the window as CSV (Ctrl+S) and as JSON
// (the row menu) through the standard Save dialog, read back and compared with what
// netsonde-cli.exe saves for the same devices on the same adapter.
#include <gtest/gtest.h>

#include <string>

#include "cli/saved_scan.h"
#include "commission/scan_document.h"
#include "tests/e2e/app_session_win.h"
#include "tests/e2e/e2e_env_win.h"

namespace {

using namespace nsdriver;
using e2e::AppSession;

constexpr char kSaveTitle[] = "Save List As";

// The Save dialog's file name box: its one visible edit, whatever id the system's template gives
// it.
HWND FileNameEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM result) -> BOOL {
            if (ClassName(child) == "Edit" && IsVisible(child)) {
                *reinterpret_cast<HWND*>(result) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Fills in the open Save dialog and waits for the file.
void SaveAs(AppSession& app, const std::string& path) {
    DeleteFileA(path.c_str());
    HWND dialog = app.WaitWindow(kSaveTitle);
    ASSERT_NE(dialog, nullptr);
    HWND edit = FileNameEdit(dialog);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(SetText(edit, path));
    Click(Control(dialog, IDOK));
    ASSERT_TRUE(WaitNoTopWindow({kSaveTitle, "", app.processId()}));
    ASSERT_TRUE(WaitUntil([&] { return !e2e::ReadFileText(path).empty(); }));
}

// From "devices" on: everything but the scan's time and its adapters list.
std::string Devices(const std::string& json) {
    const size_t at = json.find("\"devices\"");
    return at == std::string::npos ? std::string() : json.substr(at);
}

TEST(SaveListTest, SavedListIsWhatTheCommandLineSavesForTheSameDevices) {
    AppSession app;
    ASSERT_TRUE(app.StartThroughChooser());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string csvPath = std::string(temp) + "saved-list.csv";
    const std::string jsonPath = std::string(temp) + "saved-list.json";
    const std::string cliPath = std::string(temp) + "cli-scan.json";

    ASSERT_TRUE(PressKeyChord(app.main(), {VK_CONTROL, 'S'}));
    SaveAs(app, csvPath);
    ASSERT_TRUE(RightClickListRow(app.List(), 0));
    ASSERT_TRUE(Settle(app.main()));
    ASSERT_FALSE(PopupMenus(app.processId()).empty());
    PostChar(app.main(), 'a');
    SaveAs(app, jsonPath);

    DeleteFileA(cliPath.c_str());
    const std::string address = e2e::LabAddresses().at(0);
    Process cli =
        Process::Start("\"" + e2e::ProgramDir() + "..\\..\\cli\\netsonde-cli.exe\" scan " +
                       "--adapter " + address + " --save \"" + cliPath + "\"");
    ASSERT_TRUE(cli.started());
    ASSERT_EQ(cli.WaitExit(30000), std::optional<DWORD>(0));

    const std::string csv = e2e::ReadFileText(csvPath);
    const std::string json = e2e::ReadFileText(jsonPath);
    const std::string cliJson = e2e::ReadFileText(cliPath);
    netsonde::commission::ScanDocument scan;
    std::string error;
    ASSERT_TRUE(netsonde::cli::ParseScanDocument(cliJson, &scan, &error)) << error;
    ASSERT_EQ(scan.devices.size(), app.Rows().size());
    EXPECT_EQ(csv, netsonde::commission::FormatCsv(scan.devices, false));
    EXPECT_EQ(Devices(json), Devices(cliJson));
    EXPECT_EQ(json.substr(0, json.find("\"scanned_at\"")),
              cliJson.substr(0, cliJson.find("\"scanned_at\"")));
    EXPECT_NE(json.find("\"address\": \"" + address + "\""), std::string::npos) << json;
    for (const char* password : {"public", "admin"}) {
        EXPECT_EQ(csv.find(password), std::string::npos) << password;
        EXPECT_EQ(json.find(password), std::string::npos) << password;
    }
}

}  // namespace
