// Bounded reader of extended dialog templates; see dialog_template.h.
#include "res/dialog_template.h"

namespace netsonde {

namespace {

constexpr std::uint32_t kDsSetFont = 0x40;

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool U8(std::uint8_t* out) {
        if (size_ - pos_ < 1) {
            return false;
        }
        *out = data_[pos_++];
        return true;
    }
    bool U16(std::uint16_t* out) {
        if (size_ - pos_ < 2) {
            return false;
        }
        *out = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool U32(std::uint32_t* out) {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        if (size_ - pos_ < 4 || !U16(&low) || !U16(&high)) {
            return false;
        }
        *out = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
        return true;
    }
    bool I16(int* out) {
        std::uint16_t v = 0;
        if (!U16(&v)) {
            return false;
        }
        *out = static_cast<std::int16_t>(v);
        return true;
    }
    bool Rect(DialogRect* r) { return I16(&r->x) && I16(&r->y) && I16(&r->cx) && I16(&r->cy); }
    // A zero-terminated UTF-16 string.
    bool Text(std::string* out) {
        out->clear();
        for (;;) {
            std::uint16_t ch = 0;
            if (!U16(&ch)) {
                return false;
            }
            if (ch == 0) {
                return true;
            }
            out->push_back(ch < 0x80 ? static_cast<char>(ch) : '?');
        }
    }
    bool NameOrOrd(NameOrOrdinal* out) {
        std::uint16_t first = 0;
        if (size_ - pos_ < 2) {
            return false;
        }
        first = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        if (first == 0xFFFF) {
            pos_ += 2;
            std::uint16_t ordinal = 0;
            if (!U16(&ordinal)) {
                return false;
            }
            out->ordinal = ordinal;
            return true;
        }
        return Text(&out->text);
    }
    bool Skip(std::size_t count) {
        if (size_ - pos_ < count) {
            return false;
        }
        pos_ += count;
        return true;
    }
    // Items start on 4-byte boundaries from the start of the template.
    bool AlignTo4() { return Skip((4 - pos_ % 4) % 4); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::string PredefinedClassName(std::uint16_t atom) {
    switch (atom) {
        case 0x0080:
            return "Button";
        case 0x0081:
            return "Edit";
        case 0x0082:
            return "Static";
        case 0x0083:
            return "ListBox";
        case 0x0084:
            return "ScrollBar";
        case 0x0085:
            return "ComboBox";
        default:
            return "#" + std::to_string(atom);
    }
}

bool ReadItem(Reader& in, DialogItem* item) {
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;
    if (!in.AlignTo4() || !in.U32(&item->helpId) || !in.U32(&item->exStyle) ||
        !in.U32(&item->style) || !in.Rect(&item->rect) || !in.U32(&id) ||
        !in.NameOrOrd(&windowClass) || !in.NameOrOrd(&item->text) || !in.U16(&item->extraBytes) ||
        !in.Skip(item->extraBytes)) {
        return false;
    }
    item->id = static_cast<std::int32_t>(id);
    item->className =
        windowClass.ordinal ? PredefinedClassName(*windowClass.ordinal) : windowClass.text;
    return true;
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplateEx(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) {
        return std::nullopt;
    }
    Reader in(data, size);
    DialogTemplate dialog;
    std::uint16_t version = 0;
    std::uint16_t signature = 0;
    std::uint16_t count = 0;
    if (!in.U16(&version) || !in.U16(&signature) || version != 1 || signature != 0xFFFF) {
        return std::nullopt;
    }
    if (!in.U32(&dialog.helpId) || !in.U32(&dialog.exStyle) || !in.U32(&dialog.style) ||
        !in.U16(&count) || !in.Rect(&dialog.rect) || !in.NameOrOrd(&dialog.menu) ||
        !in.NameOrOrd(&dialog.windowClass) || !in.Text(&dialog.caption)) {
        return std::nullopt;
    }
    if (dialog.style & kDsSetFont) {
        std::uint8_t italic = 0;
        if (!in.U16(&dialog.fontPointSize) || !in.U16(&dialog.fontWeight) || !in.U8(&italic) ||
            !in.U8(&dialog.fontCharset) || !in.Text(&dialog.fontName)) {
            return std::nullopt;
        }
        dialog.fontItalic = italic != 0;
    }
    dialog.items.resize(count);
    for (DialogItem& item : dialog.items) {
        if (!ReadItem(in, &item)) {
            return std::nullopt;
        }
    }
    return dialog;
}

}  // namespace netsonde
