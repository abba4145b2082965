// Putting text on the clipboard; see clipboard_win.h.
#include "app/clipboard_win.h"

#include <cstring>

#include "app/message_box_win.h"

namespace netsonde {

namespace {

// Another program (or the system's own clipboard bookkeeping) may hold the clipboard for a
// moment: try a few times before telling the operator.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

// A movable global memory block, freed unless the clipboard has taken it over.
class GlobalBlock {
  public:
    explicit GlobalBlock(std::size_t size) : block_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock() {
        if (block_ != nullptr) {
            GlobalFree(block_);
        }
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // Copies size bytes in; false when the block could not be had.
    bool Fill(const void* data, std::size_t size) {
        void* target = block_ != nullptr ? GlobalLock(block_) : nullptr;
        if (target == nullptr) {
            return false;
        }
        std::memcpy(target, data, size);
        GlobalUnlock(block_);
        return true;
    }
    // Hands the block to the clipboard; on success the clipboard owns it.
    bool SetAs(UINT format) {
        if (SetClipboardData(format, block_) == nullptr) {
            return false;
        }
        block_ = nullptr;
        return true;
    }

  private:
    HGLOBAL block_;
};

std::wstring WideText(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0) {
            Sleep(kOpenRetryMs);
        }
        if (OpenClipboard(owner)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    // Both texts with their terminating zero.
    const std::wstring wide = WideText(text);
    const std::size_t wideSize = (wide.size() + 1) * sizeof(wchar_t);
    const std::size_t ansiSize = text.size() + 1;
    GlobalBlock unicodeBlock(wideSize);
    GlobalBlock ansiBlock(ansiSize);
    const bool filled =
        unicodeBlock.Fill(wide.c_str(), wideSize) && ansiBlock.Fill(text.c_str(), ansiSize);
    if (!OpenClipboardPatiently(owner)) {
        ShowAppMessage(kClipboardBusyMessage);
        return false;
    }
    const bool stored = filled && EmptyClipboard() && unicodeBlock.SetAs(CF_UNICODETEXT) &&
                        ansiBlock.SetAs(CF_TEXT);
    CloseClipboard();
    if (!stored) {
        ShowAppMessage(kClipboardWriteMessage);
    }
    return stored;
}

}  // namespace netsonde
