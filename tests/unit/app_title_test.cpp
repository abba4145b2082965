// The application title, which every message box carries, taken from the executable's path.
#include "app/app_title.h"

#include <gtest/gtest.h>

namespace netsonde {
namespace {

TEST(TitleFromModulePath, TakesFileNameWithoutItsExtension) {
    struct Case {
        const char* path;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Netsonde\\Netsonde.exe", "Netsonde"},
        {"Z:/work/build/windows/Netsonde.exe", "Netsonde"},  // Wine hands out forward slashes too
        {"C:Netsonde.exe", "Netsonde"},                      // drive-relative path
        {"\\\\server\\share\\tools\\Scan.EXE", "Scan"},      // UNC path, upper-case extension
        {"C:\\tools.v2\\Netsonde", "Netsonde"},              // a dot in a folder is no extension
        {"C:\\tools\\net.sonde.exe", "net.sonde"},           // only the last extension goes
        {"C:\\tools\\Netsonde.", "Netsonde"},                // empty extension
        {"C:\\tools\\.hidden", ".hidden"},                   // a leading dot starts no extension
        {"Netsonde.exe", "Netsonde"},
        {"Netsonde", "Netsonde"},
        {"C:\\tools\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TitleFromModulePath(c.path), c.title) << c.path;
    }
}

}  // namespace
}  // namespace netsonde
