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
    struct Case {
        const DeviceRowTexts* headings;
        const char* text;
    };
    const Case cases[] = {
        {nullptr, "02-1f-00-0a-b3-7c\tcore sw  1\t10.0.0.9\t\tline one line two"},
        {&headings,
         "MAC Address\tSystem Name\tIP Address\tUptime\tSystem Description\r\n"
         "02-1f-00-0a-b3-7c\tcore sw  1\t10.0.0.9\t\tline one line two"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowCopyText(row, c.headings), c.text);
    }
}

}  // namespace
}  // namespace netsonde
