// Where set and apply take the password from: the order of the sources, the first line only,
// and an empty source refused rather than read as "clear the password".
#include "cli/password_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace netsonde::cli {
namespace {

TEST(PasswordSourceTest, FirstSourceGivenWinsAndOnlyItsFirstLineCounts) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "netsonde-password-test";
    std::filesystem::create_directories(folder);
    const auto file = [&](const char* name, const std::string& content) {
        std::ofstream((folder / name).string(), std::ios::binary) << content;
        return (folder / name).string();
    };
    struct Case {
        const char* what;
        std::optional<std::string> given;
        PasswordOptions options;
        std::string stdinText;
        std::optional<std::string> environment;
        bool ok;
        std::optional<std::string> password;
    };
    const std::string crlf = file("crlf", "s3cret\r\nsecond line\r\n");
    const Case cases[] = {
        {"--password beats everything", "typed", {crlf, false}, "", "env", true, "typed"},
        {"file: first line, CRLF dropped", {}, {crlf, false}, "", "env", true, "s3cret"},
        {"file without a line break",
         {},
         {file("bare", "bare pw"), false},
         "",
         {},
         true,
         "bare pw"},
        {"file with an empty first line: an empty password",
         {},
         {file("blank", "\n"), false},
         "",
         {},
         true,
         ""},
        {"empty file refused", {}, {file("empty", ""), false}, "", "env", false, {}},
        {"missing file refused", {}, {(folder / "none").string(), false}, "", "env", false, {}},
        {"stdin: first line", {}, {"", true}, "from stdin\nmore\n", "env", true, "from stdin"},
        {"stdin that ends at once refused", {}, {"", true}, "", "env", false, {}},
        {"environment when nothing else", {}, {}, "", "env pw", true, "env pw"},
        {"nothing at all: none", {}, {}, "", {}, true, {}},
    };
    for (const Case& c : cases) {
        const PasswordInputs inputs{[](const std::string& path, const char* mode) {
                                        return std::fopen(path.c_str(), mode);
                                    },
                                    [&](std::string* line, std::size_t) {
                                        *line = c.stdinText.substr(0, c.stdinText.find('\n'));
                                        return !c.stdinText.empty();
                                    },
                                    [&](const char* name) {
                                        EXPECT_STREQ(name, "NETSONDE_PASSWORD");
                                        return c.environment;
                                    }};
        std::optional<std::string> password = "left over";
        std::string error;
        EXPECT_EQ(ResolvePassword(c.given, c.options, inputs, &password, &error), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(password, c.password) << c.what;
        } else {
            EXPECT_FALSE(error.empty()) << c.what;
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace netsonde::cli
