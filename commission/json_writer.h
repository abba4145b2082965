// A small JSON writer for the documents both programs save (a scan, an apply report), in the
// layout saved files have always had: two-space indents, one member or item a line, "key": value,
// empty lists and objects as [] and {}, and strings escaped the same way. It needs nothing
// beyond the standard library, so Netsonde.exe writes the very bytes netsonde-cli writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace netsonde::commission {

class JsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The member name of the value that follows.
    void Key(std::string_view name);
    // UTF-8 text; a byte that does not start a valid UTF-8 sequence is taken as a Latin-1
    // character, so the output is always valid UTF-8.
    void String(std::string_view text);
    void Number(std::uint64_t value);
    void Boolean(bool value);
    // A number written as its digits, kept as it was read (a saved value the program does not
    // interpret).
    void RawNumber(std::string_view digits);
    void StringList(const std::vector<std::string>& texts);

    // The document so far, without a closing line break.
    const std::string& text() const { return text_; }
    // Hands over the text written since the last call and forgets it, so that a long document
    // can go out in pieces instead of being held whole.
    std::string TakeText() {
        std::string taken;
        taken.swap(text_);
        return taken;
    }

  private:
    void BeforeValue();
    void Quoted(std::string_view text);
    void Begin(char open);
    void End(char close);

    std::string text_;
    std::vector<bool> hasItems_;  // one per open object or list
    bool afterKey_ = false;
};

}  // namespace netsonde::commission
