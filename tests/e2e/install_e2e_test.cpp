// End-to-end cases of the Windows installer (NETSONDE_SETUP_EXE, made by install_e2e.sh), each in
// the run's fresh prefix and each leaving it as it found it: a silent install, what it put where
// (files, Start-menu shortcut, Apps & Features entry, the folder on the machine PATH), the
// installed programs at work in the lab, and a silent uninstall that leaves nothing of it behind;
// an uninstall while the program runs, an upgrade of a copy installed elsewhere, and the finish
// page of an install clicked through.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/app_session_win.h"
#include "tests/e2e/e2e_env_win.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Netsonde";
const char kEnvironmentKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char* const kInstalledFiles[] = {"Netsonde.exe", "netsonde-cli.exe", "netsonde.lua",
                                       "README.txt",   "LICENSE.txt",      "uninstall.exe"};

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    return SHGetFolderPathA(nullptr, csidl, nullptr, 0, path) == S_OK ? path : "";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool UninstallKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string UninstallValue(const char* name) {
    char text[1024] = {};
    DWORD size = sizeof text;
    const LSTATUS status =
        RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return status == ERROR_SUCCESS ? text : "(missing)";
}

// The program a shell link starts, as the shell resolves it.
std::string ShortcutTarget(const std::string& link) {
    std::string target = "(unreadable)";
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wideLink(link.begin(), link.end());
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wideLink.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            char narrow[MAX_PATH] = {};
            WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, MAX_PATH, nullptr, nullptr);
            target = narrow;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

// The "ProductVersion" text of a program's version block.
std::string ProductVersion(const std::string& exe) {
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), nullptr);
    std::vector<char> block(size);
    char* text = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(exe.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductVersion",
                        reinterpret_cast<void**>(&text), &length)) {
        return "";
    }
    return std::string(text, length > 0 ? length - 1 : 0);
}

// The machine PATH as stored (unexpanded), or "(missing)".
std::string MachinePath() {
    std::vector<char> text(32768);
    DWORD size = static_cast<DWORD>(text.size());
    const LSTATUS status = RegGetValueA(HKEY_LOCAL_MACHINE, kEnvironmentKey, "Path",
                                        RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                        nullptr, text.data(), &size);
    return status == ERROR_SUCCESS ? text.data() : "(missing)";
}

bool SetMachinePath(const std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnvironmentKey, 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status =
        RegSetValueExA(key, "Path", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Runs a console program to its end: its exit code (nothing when it did not start or end within
// 30 s) and what it wrote to standard output.
std::optional<DWORD> RunForOutput(const std::string& commandLine, std::string* output) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0)) {
        return std::nullopt;
    }
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(write);
    std::optional<DWORD> code;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            output->append(buffer, got);
        }
        DWORD exitCode = 0;
        if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(info.hProcess, &exitCode)) {
            code = exitCode;
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(read);
    return code;
}

// Ids of the running processes started from a program file of this name.
std::vector<DWORD> ProcessesNamed(const char* name) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return ids;
}

class InstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setup_ = e2e::WinePath(e2e::EnvOr("NETSONDE_SETUP_EXE"));
        ASSERT_FALSE(setup_.empty()) << "NETSONDE_SETUP_EXE names the installer";
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        pathBefore_ = MachinePath();
        ASSERT_NE(pathBefore_, "(missing)");
        ASSERT_FALSE(Exists(dir_) || Exists(shortcut_) || UninstallKeyExists()) << "a fresh prefix";
    }
    void TearDown() override { CoUninitialize(); }

    std::optional<DWORD> RunSetup(const std::string& arguments) {
        auto process = nsdriver::Process::Start("\"" + setup_ + "\" " + arguments);
        return process.WaitExit(60000);
    }

    // A silent uninstall of the copy in dir, and then nothing of it left, the machine PATH as
    // `path` says.
    ::testing::AssertionResult UninstallLeavesNothing(const std::string& dir,
                                                      const std::string& path) {
        auto uninstall = nsdriver::Process::Start("\"" + dir + "\\uninstall.exe\" /S");
        if (uninstall.WaitExit(60000) != std::optional<DWORD>(0)) {
            return ::testing::AssertionFailure() << "the uninstaller failed";
        }
        // The uninstaller hands over to a copy of itself in the temp folder, so that it can
        // delete its own file; that copy finishes after the first one has exited.
        if (nsdriver::WaitUntil(
                [&] {
                    return !Exists(dir) && !Exists(shortcut_) && !UninstallKeyExists() &&
                           MachinePath() == path;
                },
                30000)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "left behind: " << (Exists(dir) ? dir + " " : "")
               << (Exists(shortcut_) ? shortcut_ + " " : "")
               << (UninstallKeyExists() ? kUninstallKey : "") << "; PATH " << MachinePath();
    }

    const std::string dir_ = Folder(CSIDL_PROGRAM_FILES) + "\\Netsonde";
    const std::string shortcut_ = Folder(CSIDL_COMMON_PROGRAMS) + "\\Netsonde.lnk";
    std::string setup_;
    std::string pathBefore_;
};

TEST_F(InstallTest, SilentInstallRunsInTheLabAndSilentUninstallLeavesNothing) {
    const std::string exe = dir_ + "\\Netsonde.exe";
    const std::string uninstaller = dir_ + "\\uninstall.exe";
    ASSERT_EQ(RunSetup("/S"), std::optional<DWORD>(0));

    for (const char* file : kInstalledFiles) {
        EXPECT_TRUE(Exists(dir_ + "\\" + file)) << file;
    }
    const std::string target = ShortcutTarget(shortcut_);
    EXPECT_EQ(lstrcmpiA(target.c_str(), exe.c_str()), 0) << shortcut_ << " starts " << target;
    const std::string version = ProductVersion(exe);
    EXPECT_FALSE(version.empty());
    const std::pair<const char*, std::string> entry[] = {
        {"DisplayName", "Netsonde"},
        {"DisplayVersion", version},
        {"Publisher", "The Netsonde developers"},
        {"InstallLocation", dir_},
        {"UninstallString", "\"" + uninstaller + "\""},
        {"QuietUninstallString", "\"" + uninstaller + "\" /S"},
    };
    for (const auto& [name, expected] : entry) {
        EXPECT_EQ(UninstallValue(name), expected) << name;
    }
    // The component "Command-line program on the PATH" is on in a silent install too.
    EXPECT_EQ(MachinePath(), pathBefore_ + ";" + dir_);

    // The installed programs, not the build's: the command-line one says its version and finds
    // the lab's adapter, the window one gets through the chooser to a Scan List with devices.
    const std::string cli = "\"" + dir_ + "\\netsonde-cli.exe\"";
    std::string printed;
    EXPECT_EQ(RunForOutput(cli + " --version", &printed), std::optional<DWORD>(0));
    EXPECT_EQ(printed, version + "\r\n");  // a console program's text mode
    printed.clear();
    EXPECT_EQ(RunForOutput(cli + " adapters --json", &printed), std::optional<DWORD>(0));
    EXPECT_EQ(printed.rfind("[", 0), 0u) << printed;
    EXPECT_NE(printed.find("\"address\": \"198.18."), std::string::npos) << printed;

    _putenv(("NETSONDE_EXE=" + exe).c_str());
    {
        e2e::AppSession app;
        ASSERT_TRUE(app.StartThroughChooser());
        EXPECT_EQ(app.Rows().size(), 3u);
        EXPECT_EQ(app.CloseAndWait(), std::optional<DWORD>(0));
    }

    EXPECT_TRUE(UninstallLeavesNothing(dir_, pathBefore_));
}

// Windows keeps a running program's file: an uninstall that went ahead would remove the Apps &
// Features entry and leave the program behind. It must stop before anything changes, and say so
// in its exit code (which the uninstaller run in place, with _?=, hands back).
TEST_F(InstallTest, UninstallWhileTheProgramRunsChangesNothing) {
    ASSERT_EQ(RunSetup("/S"), std::optional<DWORD>(0));
    _putenv(("NETSONDE_EXE=" + dir_ + "\\Netsonde.exe").c_str());
    {
        e2e::AppSession app;
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitWindow(e2e::kChooserTitle));
        auto uninstall = nsdriver::Process::Start("\"" + dir_ + "\\uninstall.exe\" /S _?=" + dir_);
        EXPECT_EQ(uninstall.WaitExit(60000), std::optional<DWORD>(2));
        for (const char* file : kInstalledFiles) {
            EXPECT_TRUE(Exists(dir_ + "\\" + file)) << file;
        }
        EXPECT_TRUE(Exists(shortcut_));
        EXPECT_TRUE(UninstallKeyExists());
        EXPECT_EQ(MachinePath(), pathBefore_ + ";" + dir_);
        app.process().Kill();
        app.process().WaitExit(10000);
    }
    EXPECT_TRUE(UninstallLeavesNothing(dir_, pathBefore_));
}

// A copy installed with /D= elsewhere is upgraded where it is, not left beside a second one,
// and its PATH entry is not added twice.
TEST_F(InstallTest, UpgradeGoesIntoTheFolderOfTheInstalledCopy) {
    const std::string other = "C:\\Tools\\Netsonde here";
    ASSERT_EQ(RunSetup("/S /D=" + other), std::optional<DWORD>(0));
    ASSERT_EQ(RunSetup("/S"), std::optional<DWORD>(0));
    EXPECT_FALSE(Exists(dir_));
    for (const char* file : kInstalledFiles) {
        EXPECT_TRUE(Exists(other + "\\" + file)) << file;
    }
    EXPECT_EQ(UninstallValue("InstallLocation"), other);
    EXPECT_EQ(MachinePath(), pathBefore_ + ";" + other);
    EXPECT_TRUE(UninstallLeavesNothing(other, pathBefore_));
}

// A PATH the installer must leave as it is: one that names the folder already (the user's
// entry, which the uninstaller must not take away), and one longer than the installer can
// hold (writing it back would cut it short).
TEST_F(InstallTest, PathTheInstallerMustNotChangeStaysAsItWas) {
    const std::string longEntry = ";C:\\Tools\\" + std::string(1100, 'x');
    for (const std::string& path : {pathBefore_ + ";" + dir_ + "\\", pathBefore_ + longEntry}) {
        ASSERT_TRUE(SetMachinePath(path));
        ASSERT_EQ(RunSetup("/S"), std::optional<DWORD>(0));
        EXPECT_EQ(MachinePath(), path);
        EXPECT_TRUE(UninstallLeavesNothing(dir_, path));
    }
    EXPECT_TRUE(SetMachinePath(pathBefore_));
}

// The installer runs with administrator rights, and so would anything its finish page starts
// (the program, and a browser opened from it): clicked through with every default, it starts
// nothing.
TEST_F(InstallTest, FinishPageStartsNothing) {
    auto install = nsdriver::Process::Start("\"" + setup_ + "\"");
    ASSERT_TRUE(install.started());
    // Next, Next, Next, Install, Finish: the same button on every page, once it is enabled.
    EXPECT_TRUE(nsdriver::WaitUntil(
        [&] {
            nsdriver::WindowQuery query;
            query.className = "#32770";
            query.processId = install.id();
            for (HWND window : nsdriver::FindTopWindows(query)) {
                HWND next = GetDlgItem(window, IDOK);
                if (next != nullptr && nsdriver::IsEnabled(next) && nsdriver::IsVisible(next)) {
                    nsdriver::Click(next);
                    nsdriver::Settle(window);
                }
            }
            return !install.Running();
        },
        60000));
    EXPECT_EQ(install.WaitExit(1000), std::optional<DWORD>(0));
    EXPECT_FALSE(nsdriver::WaitUntil([] { return !ProcessesNamed("Netsonde.exe").empty(); }, 3000));
    for (DWORD id : ProcessesNamed("Netsonde.exe")) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process != nullptr) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
    EXPECT_TRUE(UninstallLeavesNothing(dir_, pathBefore_));
}

}  // namespace
