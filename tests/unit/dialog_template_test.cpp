// The extended dialog template reader: fields, name-or-ordinal forms, item alignment, and
// refusal of truncated or foreign bytes (resource data is read without trusting its counts).
#include "res/dialog_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace netsonde {
namespace {

// Writes template bytes the way the resource compiler lays them out.
class Bytes {
  public:
    Bytes& U16(unsigned v) {
        data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        return *this;
    }
    Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Text(const std::string& text) {
        for (char c : text) {
            U16(static_cast<unsigned char>(c));
        }
        return U16(0);
    }
    Bytes& Ordinal(unsigned v) { return U16(0xFFFF).U16(v); }
    Bytes& Rect(int x, int y, int cx, int cy) {
        return U16(static_cast<std::uint16_t>(x)).U16(y).U16(cx).U16(cy);
    }
    Bytes& Align4() {
        while (data.size() % 4 != 0) {
            data.push_back(0);
        }
        return *this;
    }
    std::vector<std::uint8_t> data;
};

constexpr std::uint32_t kSetFont = 0x40;

// A dialog "Tést" with a font and two items: a Button (atom) with text "OK", and a custom
// class with an ordinal text (a picture) and two extra bytes.
std::vector<std::uint8_t> SampleTemplate() {
    Bytes b;
    b.U16(1).U16(0xFFFF).U32(7).U32(0x200).U32(0x80C80000 | kSetFont).U16(2);
    b.Rect(-3, 4, 273, 72).U16(0).U16(0).Text("T\xE9st");
    b.U16(8).U16(400).U16(0x0100).Text("MS Sans Serif");  // italic 0, charset 1
    b.Align4().U32(0).U32(0).U32(0x50010001).Rect(216, 48, 50, 14).U32(1);
    b.Ordinal(0x80).Text("OK").U16(0);
    b.Align4().U32(0).U32(0x20).U32(0x5000000E).Rect(7, 7, 88, 22).U32(0xFFFFFFFF);
    b.Text("SysListView32").Ordinal(138).U16(2).U16(0xBEEF);
    return b.data;
}

TEST(ParseDialogTemplateEx, ReadsDialogAndItems) {
    const std::vector<std::uint8_t> bytes = SampleTemplate();
    const auto dialog = ParseDialogTemplateEx(bytes.data(), bytes.size());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->helpId, 7u);
    EXPECT_EQ(dialog->exStyle, 0x200u);
    EXPECT_EQ(dialog->style, 0x80C80040u);
    EXPECT_EQ(dialog->rect, (DialogRect{-3, 4, 273, 72}));
    EXPECT_EQ(dialog->caption, "T?st");
    EXPECT_EQ(dialog->fontPointSize, 8);
    EXPECT_EQ(dialog->fontWeight, 400);
    EXPECT_FALSE(dialog->fontItalic);
    EXPECT_EQ(dialog->fontCharset, 1);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    ASSERT_EQ(dialog->items.size(), 2u);

    const DialogItem& ok = dialog->items[0];
    EXPECT_EQ(ok.id, 1);
    EXPECT_EQ(ok.className, "Button");
    EXPECT_EQ(ok.text.text, "OK");
    EXPECT_FALSE(ok.text.ordinal.has_value());
    EXPECT_EQ(ok.style, 0x50010001u);
    EXPECT_EQ(ok.rect, (DialogRect{216, 48, 50, 14}));

    const DialogItem& picture = dialog->items[1];
    EXPECT_EQ(picture.id, -1);
    EXPECT_EQ(picture.exStyle, 0x20u);
    EXPECT_EQ(picture.className, "SysListView32");
    EXPECT_EQ(picture.text.ordinal.value_or(0), 138);
    EXPECT_EQ(picture.extraBytes, 2);
}

TEST(ParseDialogTemplateEx, WithoutSetFontReadsNoFont) {
    Bytes b;
    b.U16(1).U16(0xFFFF).U32(0).U32(0).U32(0x80C80000).U16(1).Rect(0, 0, 10, 10);
    b.U16(0).U16(0).Text("x");
    b.Align4().U32(0).U32(0).U32(0).Rect(1, 2, 3, 4).U32(5).Ordinal(0x82).Text("").U16(0);
    const auto dialog = ParseDialogTemplateEx(b.data.data(), b.data.size());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_TRUE(dialog->fontName.empty());
    ASSERT_EQ(dialog->items.size(), 1u);
    EXPECT_EQ(dialog->items[0].className, "Static");
    EXPECT_EQ(dialog->items[0].rect, (DialogRect{1, 2, 3, 4}));
}

TEST(ParseDialogTemplateEx, RefusesTruncatedOrForeignBytes) {
    const std::vector<std::uint8_t> bytes = SampleTemplate();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        // Every cut, also inside the padding and the extra bytes of the last item.
        EXPECT_FALSE(ParseDialogTemplateEx(bytes.data(), size).has_value()) << size;
    }
    EXPECT_FALSE(ParseDialogTemplateEx(nullptr, 100).has_value());

    std::vector<std::uint8_t> classic = bytes;
    classic[2] = 0;  // no 0xFFFF signature: a classic DLGTEMPLATE
    EXPECT_FALSE(ParseDialogTemplateEx(classic.data(), classic.size()).has_value());

    // An item count larger than the items present.
    std::vector<std::uint8_t> overCounted = bytes;
    overCounted[16] = 3;
    EXPECT_FALSE(ParseDialogTemplateEx(overCounted.data(), overCounted.size()).has_value());
}

}  // namespace
}  // namespace netsonde
