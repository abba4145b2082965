// The Windows platform layer under Wine: the console's code page given back, and names and
// values that the ANSI code page cannot hold reaching the program as UTF-8.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "cli/platform.h"

namespace netsonde::cli {
namespace {

TEST(PlatformWinTest, TheConsoleGetsItsCodePageBack) {
    if (!SetConsoleOutputCP(850)) {
        // Wine has a console only on a terminal: the CTest entry cli_console_win gives it one.
        GTEST_SKIP() << "no console";
    }
    PrepareConsole();
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
    RestoreConsole();
    EXPECT_EQ(GetConsoleOutputCP(), 850u);
    ASSERT_TRUE(SetConsoleOutputCP(437));
    RestoreConsole();  // a second way out gives back nothing stale
    EXPECT_EQ(GetConsoleOutputCP(), 437u);
}

TEST(PlatformWinTest, FileNamesAndTheEnvironmentAreUtf8) {
    const std::string utf8Name = "netsonde-J\xC3\xBCrgen-\xE2\x82\xAC.csv";  // ü and €
    const std::wstring wideName = L"netsonde-J\u00fcrgen-\u20ac.csv";
    std::FILE* written = OpenFile(utf8Name, "wb");
    ASSERT_NE(written, nullptr);
    std::fclose(written);
    std::FILE* found = _wfopen(wideName.c_str(), L"rb");
    EXPECT_NE(found, nullptr) << "the file has the name given";
    if (found != nullptr) {
        std::fclose(found);
    }
    _wremove(wideName.c_str());

    ASSERT_EQ(_wputenv(L"NETSONDE_TEST_TEXT=B\u00fcro \u20ac"), 0);
    EXPECT_EQ(EnvironmentText("NETSONDE_TEST_TEXT"), "B\xC3\xBCro \xE2\x82\xAC");
    EXPECT_EQ(EnvironmentText("NETSONDE_TEST_UNSET"), std::nullopt);
}

}  // namespace
}  // namespace netsonde::cli
#endif
