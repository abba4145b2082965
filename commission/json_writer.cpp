// The JSON layout of saved documents; see json_writer.h.
#include "commission/json_writer.h"

#include <cstdio>

namespace netsonde::commission {
namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when none starts there
// (overlong forms, surrogates and values beyond U+10FFFF are not valid).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (c < 0x80) {
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        length = 2, code = c & 0x1F, minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, code = c & 0x0F, minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, code = c & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItems_.empty()) {
        text_ += hasItems_.back() ? ",\n" : "\n";
        text_.append(2 * hasItems_.size(), ' ');
        hasItems_.back() = true;
    }
}

void JsonWriter::Begin(char open) {
    BeforeValue();
    text_ += open;
    hasItems_.push_back(false);
}

void JsonWriter::End(char close) {
    const bool hadItems = hasItems_.back();
    hasItems_.pop_back();
    if (hadItems) {
        text_ += '\n';
        text_.append(2 * hasItems_.size(), ' ');
    }
    text_ += close;
}

void JsonWriter::BeginObject() {
    Begin('{');
}

void JsonWriter::EndObject() {
    End('}');
}

void JsonWriter::BeginArray() {
    Begin('[');
}

void JsonWriter::EndArray() {
    End(']');
}

void JsonWriter::Key(std::string_view name) {
    BeforeValue();
    Quoted(name);
    text_ += ": ";
    afterKey_ = true;
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    Quoted(text);
}

void JsonWriter::Quoted(std::string_view text) {
    text_ += '"';
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) {
            text_ += static_cast<char>(0xC0 | (c >> 6));
            text_ += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
            continue;
        }
        if (length > 1) {
            text_.append(text, i, length);
            i += length;
            continue;
        }
        switch (c) {
            case '"':
                text_ += "\\\"";
                break;
            case '\\':
                text_ += "\\\\";
                break;
            case '\b':
                text_ += "\\b";
                break;
            case '\f':
                text_ += "\\f";
                break;
            case '\n':
                text_ += "\\n";
                break;
            case '\r':
                text_ += "\\r";
                break;
            case '\t':
                text_ += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    text_ += escaped;
                } else {
                    text_ += static_cast<char>(c);
                }
                break;
        }
        ++i;
    }
    text_ += '"';
}

void JsonWriter::Number(std::uint64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
}

void JsonWriter::Boolean(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
}

void JsonWriter::RawNumber(std::string_view digits) {
    BeforeValue();
    text_ += digits;
}

void JsonWriter::StringList(const std::vector<std::string>& texts) {
    BeginArray();
    for (const std::string& text : texts) {
        String(text);
    }
    EndArray();
}

}  // namespace netsonde::commission
