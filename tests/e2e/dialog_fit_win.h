// Checks that a dialog of Netsonde.exe shows every control whole: inside the dialog's client
// area, overlapping no other control, and wide enough for its text as the dialog's font draws
// it. Wine lets no other process read a window's font, so the font is made again here from the
// dialog's template (face and point size) at the screen's DPI, as the dialog manager makes it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "res/dialog_template.h"

namespace e2e {

class DialogFont {
  public:
    // The font of template `dialogId` of the program at `exePath`, at `dpi`.
    static std::optional<DialogFont> FromTemplate(const std::string& exePath, int dialogId,
                                                  int dpi);
    ~DialogFont();
    DialogFont(DialogFont&& other) noexcept;
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;
    DialogFont& operator=(DialogFont&&) = delete;

    const netsonde::DialogTemplate& dialog() const { return template_; }
    // The template's size in pixels through this font's dialog base units: equal to the shown
    // dialog's client size only when this is the font the dialog was laid out with.
    SIZE TemplateClientSize() const;
    // One line of text ('&' prefixes removed) in this font, in pixels.
    SIZE TextSize(const std::string& text) const;

  private:
    DialogFont() = default;
    netsonde::DialogTemplate template_;
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int baseX_ = 0, baseY_ = 0;
};

// What is wrong with the dialog's layout at `dpi`, one line per fault; empty when every visible
// control is whole. List views are checked column by column: headings and row texts fit.
std::vector<std::string> LayoutFaults(HWND dialog, const DialogFont& font, int dpi);

}  // namespace e2e
