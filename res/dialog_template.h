// Reading an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items) from the
// bytes of a dialog resource, so that tests can check the compiled templates control by control.
// Every read is bounded by the given size; a truncated or malformed template is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace netsonde {

struct DialogRect {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const DialogRect& o) const {
        return x == o.x && y == o.y && cx == o.cx && cy == o.cy;
    }
};

// A name-or-ordinal field: either text or a 16-bit number (an atom, a resource id).
struct NameOrOrdinal {
    std::string text;  // UTF-16 narrowed to ASCII ('?' for anything else)
    std::optional<std::uint16_t> ordinal;
};

struct DialogItem {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    DialogRect rect;
    std::int32_t id = 0;
    std::string className;  // predefined atoms are given by name: "Button", "Edit", ...
    NameOrOrdinal text;
    std::uint16_t extraBytes = 0;
};

struct DialogTemplate {
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    DialogRect rect;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string caption;
    // Present when the style has DS_SETFONT (0x40).
    std::uint16_t fontPointSize = 0;
    std::uint16_t fontWeight = 0;
    bool fontItalic = false;
    std::uint8_t fontCharset = 0;
    std::string fontName;
    std::vector<DialogItem> items;
};

// Parses an extended dialog template; nothing when the bytes are not a complete one (a classic
// DLGTEMPLATE is refused as well).
std::optional<DialogTemplate> ParseDialogTemplateEx(const std::uint8_t* data, std::size_t size);

}  // namespace netsonde
