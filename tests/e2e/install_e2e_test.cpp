// End-to-end case of the Windows installer (NETSONDE_SETUP_EXE, made by install_e2e.sh): a silent
// install into the run's fresh prefix, what it put where (files, Start-menu shortcut, Apps &
// Features entry), the installed program scanning the lab, and a silent uninstall that leaves
// nothing of it behind.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/app_session_win.h"
#include "tests/e2e/e2e_env_win.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Netsonde";

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

TEST(InstallTest, SilentInstallRunsInTheLabAndSilentUninstallLeavesNothing) {
    const std::string setup = e2e::WinePath(e2e::EnvOr("NETSONDE_SETUP_EXE"));
    ASSERT_FALSE(setup.empty()) << "NETSONDE_SETUP_EXE names the installer";
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::string dir = Folder(CSIDL_PROGRAM_FILES) + "\\Netsonde";
    const std::string exe = dir + "\\Netsonde.exe";
    const std::string uninstaller = dir + "\\uninstall.exe";
    const std::string shortcut = Folder(CSIDL_COMMON_PROGRAMS) + "\\Netsonde.lnk";
    ASSERT_FALSE(Exists(dir) || Exists(shortcut) || UninstallKeyExists()) << "a fresh prefix";

    auto install = nsdriver::Process::Start("\"" + setup + "\" /S");
    ASSERT_EQ(install.WaitExit(60000), std::optional<DWORD>(0));

    for (const char* file : {"Netsonde.exe", "README.txt", "LICENSE.txt", "uninstall.exe"}) {
        EXPECT_TRUE(Exists(dir + "\\" + file)) << file;
    }
    const std::string target = ShortcutTarget(shortcut);
    EXPECT_EQ(lstrcmpiA(target.c_str(), exe.c_str()), 0) << shortcut << " starts " << target;
    const std::string version = ProductVersion(exe);
    EXPECT_FALSE(version.empty());
    const std::pair<const char*, std::string> entry[] = {
        {"DisplayName", "Netsonde"},
        {"DisplayVersion", version},
        {"Publisher", "The Netsonde developers"},
        {"InstallLocation", dir},
        {"UninstallString", "\"" + uninstaller + "\""},
        {"QuietUninstallString", "\"" + uninstaller + "\" /S"},
    };
    for (const auto& [name, expected] : entry) {
        EXPECT_EQ(UninstallValue(name), expected) << name;
    }

    // The installed program, not the build's, through the chooser to a Scan List with devices.
    _putenv(("NETSONDE_EXE=" + exe).c_str());
    {
        e2e::AppSession app;
        ASSERT_TRUE(app.StartThroughChooser());
        EXPECT_EQ(app.Rows().size(), 3u);
        EXPECT_EQ(app.CloseAndWait(), std::optional<DWORD>(0));
    }

    auto uninstall = nsdriver::Process::Start("\"" + uninstaller + "\" /S");
    ASSERT_EQ(uninstall.WaitExit(60000), std::optional<DWORD>(0));
    // The uninstaller hands over to a copy of itself in the temp folder, so that it can delete
    // its own file; that copy finishes after the first one has exited.
    EXPECT_TRUE(nsdriver::WaitUntil(
        [&] { return !Exists(dir) && !Exists(shortcut) && !UninstallKeyExists(); }, 30000))
        << "left behind: " << (Exists(dir) ? dir + " " : "")
        << (Exists(shortcut) ? shortcut + " " : "") << (UninstallKeyExists() ? kUninstallKey : "");
    CoUninitialize();
}

}  // namespace
