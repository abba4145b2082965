// Checks on a commissioning plan alone: each error names the file and line, all are listed, and
// a good row comes out as the options set would get.
#include "commission/plan_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "commission/csv.h"

namespace netsonde::commission {
namespace {

TEST(PlanFileTest, EveryErrorNamesFileAndLine) {
    struct Case {
        std::string text;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {"mac,ip,colour\r\n",
         {"p.csv:1: unknown column \"colour\" (known: mac, type, ip, mask, "
          "gateway, tftp, image, password, name)"}},
        {"ip,name\n", {"p.csv:1: no mac column"}},
        {"mac,ip\n02-00-00-00-00-01,1.2.3.4,extra\n", {"p.csv:2: 3 cells, the header has 2"}},
        {"mac,type,ip,mask,gateway,tftp\n"
         "02:00:00:00:00:01,fixed,0.1.2.3,255.0.255.0,1.2.3,256.1.1.1\n",
         {"p.csv:2: type is static or dynamic, not \"fixed\"",
          "p.csv:2: Invalid IP Address \"0.1.2.3\"", "p.csv:2: Invalid Subnet Mask \"255.0.255.0\"",
          "p.csv:2: Invalid Gateway IP Address \"1.2.3\"",
          "p.csv:2: Invalid TFTP Server IP Address \"256.1.1.1\""}},
        {"mac,ip\n02-00-00-00-00-01,10.0.0.1\n\n\"name, quoted\",\n02-00-00-00-00-01,010.0.0.1\n",
         {"p.csv:4: not a MAC address: \"name, quoted\"",
          "p.csv:5: 02-00-00-00-00-01 is also on line 2",
          "p.csv:5: ip 10.0.0.1 is also given on line 2"}},
        {"mac,ip\n02-00-00-00-00-01,10.0.0.300\n02-00-00-00-00-02,10.0.0.44\n",
         {"p.csv:2: Invalid IP Address \"10.0.0.300\""}},
        {"mac,name\n02-00-00-00-00-01,\"" + std::string(32, 'x') + "\"\n",
         {"p.csv:2: the name holds at most 31 characters"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadPlan("p.csv", c.text).errors, c.errors) << c.text;
    }
}

TEST(PlanFileTest, EmptyCellsLeaveOptionsOut) {
    const Plan plan = ReadPlan("p.csv",
                               "\xEF\xBB\xBFMAC,type,ip,password,image\r\n"
                               "02-1F-00-0A-B3-7C,dynamic,,\"pw,1\",\r\n"
                               "02-1f-00-0a-b3-7d,,198.18.0.20,,\"a \"\"b\"\".bin\"\r\n");
    ASSERT_TRUE(plan.errors.empty()) << plan.errors.front();
    ASSERT_EQ(plan.rows.size(), 2u);
    const PlanRow& first = plan.rows[0];
    EXPECT_EQ(first.line, 2u);
    EXPECT_EQ(first.mac, "02-1f-00-0a-b3-7c");
    EXPECT_EQ(first.options.type, AddressType::Dynamic);
    EXPECT_FALSE(first.options.ip);
    EXPECT_EQ(first.options.password, "pw,1");
    EXPECT_FALSE(first.options.image);
    EXPECT_FALSE(plan.rows[1].options.type);
    EXPECT_EQ(plan.rows[1].options.ip, "198.18.0.20");
    EXPECT_EQ(plan.rows[1].options.image, "a \"b\".bin");
}

TEST(PlanFileTest, WrittenPlanReadsBackWithoutThePassword) {
    std::vector<PlanRow> rows(3);
    rows[0].mac = "02-00-5e-00-00-01";
    rows[0].options.type = AddressType::Static;
    rows[0].options.ip = "198.18.0.10";
    rows[0].options.mask = "255.255.255.0";
    rows[0].options.password = "secret";
    rows[1].mac = "02-00-5e-00-00-02";
    rows[1].options.type = AddressType::Dynamic;
    rows[1].options.tftp = "198.18.0.5";
    rows[1].options.image = "caf\xE9 \"1\",2.bin";  // Latin-1, as CheckOptionTexts leaves it
    rows[1].options.name = "a,\r\nb";
    rows[2].mac = "02-00-5e-00-00-03";
    const std::string csv = WritePlan(rows);
    EXPECT_EQ(csv.find("password"), std::string::npos);
    EXPECT_EQ(csv.find("secret"), std::string::npos);
    EXPECT_EQ(csv.substr(0, csv.find('\r')), "mac,type,ip,mask,tftp,image,name");

    const Plan back = ReadPlan("p.csv", csv);
    ASSERT_TRUE(back.errors.empty()) << back.errors.front();
    ASSERT_EQ(back.rows.size(), rows.size());
    rows[0].options.password.reset();
    const auto fields = [](const PlanRow& row) {
        const ChangeOptions& o = row.options;
        return std::tie(row.mac, o.type, o.ip, o.mask, o.gateway, o.tftp, o.image, o.password,
                        o.name);
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(fields(back.rows[i]) == fields(rows[i])) << csv;
    }
}

// Texts a spreadsheet would run as formulas are written as text (a leading apostrophe) and the
// plan reader gives back exactly what was written, so a written plan or report reads back whole.
TEST(PlanFileTest, FormulaCellsAreWrittenAsTextAndReadBackExactly) {
    struct Case {
        const char* name;
        const char* cell;  // as written
    };
    const Case cases[] = {
        {"=HYPERLINK(\"http://x/\")", "\"'=HYPERLINK(\"\"http://x/\"\")\""},
        {"+1", "'+1"},
        {"-x", "'-x"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tcmd", "'\tcmd"},
        {"'=1", "''=1"},
        {"'quoted", "'quoted"},
        {"core-sw", "core-sw"},
    };
    std::string text = CsvLine({"mac", "name"});
    int n = 0;
    for (const Case& c : cases) {
        const std::string mac = "02-00-00-00-00-0" + std::to_string(n++);
        const std::string line = CsvLine({mac, c.name});
        EXPECT_EQ(line, mac + "," + c.cell + "\r\n");
        text += line;
    }
    const Plan plan = ReadPlan("p.csv", text);
    ASSERT_TRUE(plan.errors.empty()) << plan.errors.front();
    ASSERT_EQ(plan.rows.size(), std::size(cases));
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        EXPECT_EQ(plan.rows[i].options.name, cases[i].name);
    }
}

}  // namespace
}  // namespace netsonde::commission
