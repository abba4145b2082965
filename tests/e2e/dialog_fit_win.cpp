// Layout checks of another process's dialog; see dialog_fit_win.h.
#include "tests/e2e/dialog_fit_win.h"

#include <commctrl.h>

#include <sstream>
#include <utility>

#include "discovery/scan_list_layout.h"
#include "tests/e2e/driver_win.h"

namespace e2e {

namespace {

std::string WithoutPrefixes(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;  // "&&" is a literal '&'; "&x" underlines x
        }
        plain += text[i];
    }
    return plain;
}

std::string Describe(HWND control) {
    std::ostringstream out;
    out << "control " << GetDlgCtrlID(control) << " \"" << nsdriver::WindowText(control) << "\"";
    return out.str();
}

std::string Describe(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

// The room a control's own drawing leaves for its text: push buttons draw a raised edge on each
// side, radio buttons and check boxes their box and a gap before the text.
int TextRoom(HWND control, int width, int dpi) {
    const std::string kind = nsdriver::ClassName(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (kind == "Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            return width - 2 * GetSystemMetrics(SM_CXEDGE);
        }
        return width - netsonde::ScaleForDpi(16, dpi);
    }
    return width;
}

// Only controls that draw their text on one line in their own rectangle.
bool DrawsItsText(HWND control) {
    const std::string kind = nsdriver::ClassName(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (kind == "Static") {
        const LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
               type == SS_LEFTNOWORDWRAP;
    }
    if (kind == "Button") {
        return (style & BS_TYPEMASK) != BS_GROUPBOX;
    }
    return false;
}

void CheckListColumns(HWND list, const DialogFont& font, int dpi,
                      std::vector<std::string>* faults) {
    // Labels and headings start a few pixels into their column: 6 px at 96 DPI, scaled.
    const int padding = netsonde::ScaleForDpi(6, dpi);
    const auto rows = nsdriver::ListRows(list);
    for (int column = 0; column < nsdriver::ListColumnCount(list); ++column) {
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        std::vector<std::string> texts = {nsdriver::ListColumnHeading(list, column)};
        for (const auto& row : rows) {
            texts.push_back(row[static_cast<size_t>(column)]);
        }
        for (const std::string& text : texts) {
            const int need = font.TextSize(text).cx + padding;
            if (need > width) {
                std::ostringstream out;
                out << "list column " << column << " is " << width << " px; \"" << text
                    << "\" needs " << need;
                faults->push_back(out.str());
            }
        }
    }
}

}  // namespace

std::optional<DialogFont> DialogFont::FromTemplate(const std::string& exePath, int dialogId,
                                                   int dpi) {
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return std::nullopt;
    }
    std::optional<netsonde::DialogTemplate> parsed;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5))) {
        const HGLOBAL loaded = LoadResource(module, found);
        const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
        if (bytes != nullptr) {
            parsed = netsonde::ParseDialogTemplateEx(bytes, SizeofResource(module, found));
        }
    }
    FreeLibrary(module);
    if (!parsed || parsed->fontName.empty()) {
        return std::nullopt;
    }
    DialogFont font;
    font.template_ = std::move(*parsed);
    const auto& t = font.template_;
    // As the dialog manager makes it: the point size at the screen's DPI.
    font.font_ = CreateFontA(-MulDiv(t.fontPointSize, dpi, 72), 0, 0, 0, t.fontWeight,
                             t.fontItalic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             PROOF_QUALITY, FF_DONTCARE, t.fontName.c_str());
    font.dc_ = CreateCompatibleDC(nullptr);
    if (font.font_ == nullptr || font.dc_ == nullptr) {
        return std::nullopt;
    }
    font.previous_ = SelectObject(font.dc_, font.font_);
    // Dialog base units as the dialog manager takes them from its font.
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32A(font.dc_, letters, 52, &size);
    TEXTMETRICA metrics{};
    GetTextMetricsA(font.dc_, &metrics);
    font.baseX_ = (size.cx / 26 + 1) / 2;
    font.baseY_ = metrics.tmHeight;
    return std::optional<DialogFont>(std::move(font));
}

DialogFont::DialogFont(DialogFont&& other) noexcept
    : template_(std::move(other.template_)),
      dc_(std::exchange(other.dc_, nullptr)),
      font_(std::exchange(other.font_, nullptr)),
      previous_(std::exchange(other.previous_, nullptr)),
      baseX_(other.baseX_),
      baseY_(other.baseY_) {}

DialogFont::~DialogFont() {
    if (dc_ != nullptr) {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
        DeleteDC(dc_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

SIZE DialogFont::TemplateClientSize() const {
    return SIZE{MulDiv(template_.rect.cx, baseX_, 4), MulDiv(template_.rect.cy, baseY_, 8)};
}

SIZE DialogFont::TextSize(const std::string& text) const {
    const std::string plain = WithoutPrefixes(text);
    SIZE size{};
    GetTextExtentPoint32A(dc_, plain.c_str(), static_cast<int>(plain.size()), &size);
    return size;
}

std::vector<std::string> LayoutFaults(HWND dialog, const DialogFont& font, int dpi) {
    std::vector<std::string> faults;
    const RECT client = nsdriver::ClientRect(dialog);
    std::vector<std::pair<HWND, RECT>> shown;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (nsdriver::IsVisible(c)) {
            shown.emplace_back(c, nsdriver::RectInParent(c));
        }
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        const auto& [control, rect] = shown[i];
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom) {
            faults.push_back(Describe(control) + " at " + Describe(rect) +
                             " reaches out of the client area " + Describe(client));
        }
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT common{};
            if (IntersectRect(&common, &rect, &shown[j].second)) {
                faults.push_back(Describe(control) + " at " + Describe(rect) + " overlaps " +
                                 Describe(shown[j].first) + " at " + Describe(shown[j].second));
            }
        }
        if (DrawsItsText(control)) {
            const SIZE need = font.TextSize(nsdriver::WindowText(control));
            const RECT own = nsdriver::ClientRect(control);
            const int room = TextRoom(control, own.right, dpi);
            if (need.cx > room || need.cy > own.bottom) {
                std::ostringstream out;
                out << Describe(control) << " needs " << need.cx << " x " << need.cy << " px, has "
                    << room << " x " << own.bottom;
                faults.push_back(out.str());
            }
        }
        if (nsdriver::ClassName(control) == WC_LISTVIEWA) {
            CheckListColumns(control, font, dpi, &faults);
        }
    }
    return faults;
}

}  // namespace e2e
