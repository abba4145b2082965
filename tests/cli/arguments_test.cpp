// The command line as scripts will use it: which argument lists are accepted, what they set,
// and that every refusal is exit code 1 before anything is sent.
#include "cli/arguments.h"
#include "cli/help_formatter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace netsonde::cli {
namespace {

int Parse(std::vector<const char*> args, Arguments* arguments, std::string* out = nullptr) {
    args.insert(args.begin(), "netsonde-cli");
    std::ostringstream outText, errText;
    const int result =
        ParseArguments(static_cast<int>(args.size()), args.data(), arguments, outText, errText);
    if (out != nullptr) {
        *out = outText.str();
    }
    return result;
}

TEST(ArgumentsTest, AcceptedAndRefusedCommandLines) {
    struct Case {
        std::vector<const char*> args;
        int result;  // -1: the command runs
    };
    const std::vector<Case> cases = {
        {{"adapters", "--json"}, -1},
        {{"scan", "--adapter", "ws0", "--adapter", "198.18.1.1", "--format", "csv"}, -1},
        {{"scan", "--format", "xml"}, 1},
        {{"scan", "--since"}, 1},
        {{"set", "02-1f-00-0a-b3-7c", "--static", "--dynamic"}, 1},
        {{"set", "--ip", "198.18.0.20"}, 1},  // no MAC
        {{"set", "02:1F:00:0A:B3:7C", "--verify-timeout", "-5"}, 1},
        {{"apply"}, 1},
        {{"apply", "plan.csv", "--report", "r.json", "--dry-run", "--no-verify"}, -1},
        {{"frobnicate"}, 1},
        {{}, 1},
        {{"--version"}, 0},
        {{"set", "--help"}, 0},
    };
    for (const Case& c : cases) {
        Arguments arguments;
        EXPECT_EQ(Parse(c.args, &arguments), c.result) << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST(ArgumentsTest, OptionsLandWhereTheCommandsReadThem) {
    Arguments set;
    ASSERT_EQ(Parse({"set", "--adapter", "ws1", "02-1f-00-0a-b3-7c", "--dynamic", "--name", "n",
                     "--password", "", "--no-verify", "--verify-timeout", "90"},
                    &set),
              -1);
    EXPECT_EQ(set.command, Command::Set);
    EXPECT_EQ(set.set.mac, "02-1f-00-0a-b3-7c") << "--adapter takes one value";
    EXPECT_EQ(set.set.send.adapters, std::vector<std::string>{"ws1"});
    EXPECT_EQ(set.set.change.type, AddressType::Dynamic);
    EXPECT_EQ(set.set.change.password, "") << "an empty password given is still given";
    EXPECT_FALSE(set.set.change.ip);
    EXPECT_FALSE(set.set.send.verify);
    EXPECT_EQ(set.set.send.verifyTimeoutSeconds, 90);

    Arguments defaults;
    ASSERT_EQ(Parse({"set", "02-1f-00-0a-b3-7c"}, &defaults), -1);
    EXPECT_FALSE(defaults.set.change.type);
    EXPECT_FALSE(defaults.set.change.password);
    EXPECT_TRUE(defaults.set.send.verify);
    EXPECT_EQ(defaults.set.send.verifyTimeoutSeconds, 60);

    std::string out;
    Arguments version;
    Parse({"--version"}, &version, &out);
    EXPECT_EQ(out, "2.7.2\n");
}

// Every command's --help, the commands read from the program's own list: within 80 columns and
// free of what the parser would print on its own (flag defaults, C++ type names, validators).
TEST(ArgumentsTest, HelpReadsCleanly) {
    // Searched in each line with a blank added at both ends.
    const std::vector<std::string> artefacts = {
        "{false}",    "{true}",     ":{",      " in [",  " TEXT ", " INT ",
        " REQUIRED ", " Excludes:", " Needs:", " ENUM ", " FLOAT "};
    Arguments arguments;
    std::string help;
    ASSERT_EQ(Parse({"--help"}, &arguments, &help), 0);
    std::vector<std::string> commands = {""};
    std::istringstream list(help);
    bool inList = false;
    for (std::string line; std::getline(list, line);) {
        if (inList && line.rfind("  ", 0) == 0 && line[2] != ' ') {
            commands.push_back(line.substr(2, line.find(' ', 2) - 2));
        }
        inList = line == "Commands:" || (inList && !line.empty());
    }
    ASSERT_GE(commands.size(), 5u) << help;
    for (const std::string& command : commands) {
        std::string text;
        ASSERT_EQ(Parse(command.empty() ? std::vector<const char*>{"--help"}
                                        : std::vector<const char*>{command.c_str(), "--help"},
                        &arguments, &text),
                  0);
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), kHelpWidth) << command << ": " << line;
            for (const std::string& artefact : artefacts) {
                EXPECT_EQ((" " + line + " ").find(artefact), std::string::npos)
                    << command << ": " << line;
            }
        }
    }
}

}  // namespace
}  // namespace netsonde::cli
