// The end-to-end test driver; see driver_win.h.
#include "tests/e2e/driver_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace nsdriver {

namespace {

// Timeout for one message sent to the target: long enough for a scan to finish.
constexpr UINT kSendTimeoutMs = 8000;

bool SendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    DWORD_PTR answer = 0;
    const LRESULT ok =
        SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &answer);
    if (result != nullptr) {
        *result = static_cast<LRESULT>(answer);
    }
    return ok != 0;
}

LRESULT SendOrZero(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    LRESULT result = 0;
    return SendWithTimeout(hwnd, message, wParam, lParam, &result) ? result : 0;
}

// A block of memory inside the process that owns a window, for messages whose pointers the
// system passes on unchanged (list-view and header messages).
class RemoteBuffer {
  public:
    RemoteBuffer(HWND owner, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(owner, &processId);
        process_ = OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, processId);
        if (process_ != nullptr) {
            address_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* address() const { return static_cast<char*>(address_); }
    LPARAM param() const { return reinterpret_cast<LPARAM>(address_); }

    bool Write(size_t offset, const void* data, size_t length) {
        if (!ok() || offset > size_ || length > size_ - offset) {
            return false;
        }
        SIZE_T written = 0;
        return WriteProcessMemory(process_, address() + offset, data, length, &written) &&
               written == length;
    }
    bool Read(size_t offset, void* data, size_t length) const {
        if (!ok() || offset > size_ || length > size_ - offset) {
            return false;
        }
        SIZE_T read = 0;
        return ReadProcessMemory(process_, address() + offset, data, length, &read) &&
               read == length;
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

struct FindContext {
    const WindowQuery* query;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopWindow(HWND hwnd, LPARAM param) {
    const FindContext* context = reinterpret_cast<const FindContext*>(param);
    const WindowQuery& query = *context->query;
    if (query.visibleOnly && !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    if (query.processId != 0) {
        DWORD processId = 0;
        GetWindowThreadProcessId(hwnd, &processId);
        if (processId != query.processId) {
            return TRUE;
        }
    }
    if (!query.className.empty() && ClassName(hwnd) != query.className) {
        return TRUE;
    }
    if (!query.title.empty() && WindowText(hwnd) != query.title) {
        return TRUE;
    }
    context->found->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

LPARAM PointParam(POINT point) {
    return MAKELPARAM(point.x, point.y);
}

POINT Middle(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Reads a RECT-returning list or header message through target memory. `init` is written into
// the buffer first (some messages take their input in the RECT).
std::optional<RECT> RemoteRect(HWND target, UINT message, WPARAM wParam, RECT init) {
    RemoteBuffer buffer(target, sizeof(RECT));
    if (!buffer.Write(0, &init, sizeof(init))) {
        return std::nullopt;
    }
    LRESULT result = 0;
    if (!SendWithTimeout(target, message, wParam, buffer.param(), &result) || result == 0) {
        return std::nullopt;
    }
    RECT rect{};
    if (!buffer.Read(0, &rect, sizeof(rect))) {
        return std::nullopt;
    }
    return rect;
}

}  // namespace

// ---- Processes -------------------------------------------------------------------------------

Process::~Process() {
    Kill();
}

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process Process::Start(const std::string& commandLine) {
    Process process;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return process;
    }
    CloseHandle(info.hThread);
    process.process_ = info.hProcess;
    process.id_ = info.dwProcessId;
    return process;
}

bool Process::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitExit(DWORD timeoutMs) {
    if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process_, &code)) {
        return std::nullopt;
    }
    return code;
}

void Process::Kill() {
    if (process_ == nullptr) {
        return;
    }
    if (Running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    id_ = 0;
}

// ---- Finding windows -------------------------------------------------------------------------

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
    std::vector<HWND> found;
    FindContext context{&query, &found};
    EnumWindows(&CollectTopWindow, reinterpret_cast<LPARAM>(&context));
    return found;
}

HWND WaitTopWindow(const WindowQuery& query, DWORD timeoutMs) {
    HWND hwnd = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> found = FindTopWindows(query);
            hwnd = found.empty() ? nullptr : found.front();
            return hwnd != nullptr;
        },
        timeoutMs);
    return hwnd;
}

bool WaitNoTopWindow(const WindowQuery& query, DWORD timeoutMs) {
    return WaitUntil([&] { return FindTopWindows(query).empty(); }, timeoutMs);
}

HWND WaitWindowTitled(const std::string& title, DWORD timeoutMs) {
    WindowQuery query;
    query.title = title;
    return WaitTopWindow(query, timeoutMs);
}

// ---- Reading controls ------------------------------------------------------------------------

HWND Control(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

std::string WindowText(HWND hwnd) {
    // WM_GETTEXT is copied between processes by the system; a bounded local buffer suffices.
    LRESULT length = 0;
    if (hwnd == nullptr || !SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                         &copied)) {
        return std::string();
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

std::string ClassName(HWND hwnd) {
    char name[256] = {};
    const int length = GetClassNameA(hwnd, name, sizeof(name));
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

bool IsEnabled(HWND hwnd) {
    return hwnd != nullptr && IsWindowEnabled(hwnd);
}

bool IsVisible(HWND hwnd) {
    return hwnd != nullptr && IsWindowVisible(hwnd);
}

int CheckState(HWND button) {
    return static_cast<int>(SendOrZero(button, BM_GETCHECK));
}

HWND FocusedWindow(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRect(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

RECT RectInParent(HWND hwnd) {
    RECT rect = WindowRect(hwnd);
    HWND parent = GetParent(hwnd);
    if (parent != nullptr && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

bool Settle(HWND hwnd, DWORD timeoutMs) {
    // Posted input is taken from the queue as soon as the idle target wakes; give it that
    // moment, then wait for a round trip, which cannot finish while the target is busy with
    // what the input started (a scan, say).
    Sleep(150);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

// ---- List views ------------------------------------------------------------------------------

int ListItemCount(HWND list) {
    return static_cast<int>(SendOrZero(list, LVM_GETITEMCOUNT));
}

int ListColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendOrZero(list, LVM_GETHEADER));
    return header == nullptr ? 0 : static_cast<int>(SendOrZero(header, HDM_GETITEMCOUNT));
}

namespace {

// Sends a list message whose structure (LVITEMA, LVCOLUMNA) points to a text buffer, with both
// in the list's process, and returns the text the list wrote. `info` has its other fields set.
template <typename Info>
std::string RemoteTextQuery(HWND list, UINT message, WPARAM wParam, Info info) {
    constexpr size_t kTextSize = 1024;
    RemoteBuffer buffer(list, sizeof(Info) + kTextSize);
    info.cchTextMax = static_cast<int>(kTextSize);
    info.pszText = buffer.address() + sizeof(Info);
    const char empty = '\0';
    LRESULT result = 0;
    if (!buffer.Write(0, &info, sizeof(info)) || !buffer.Write(sizeof(Info), &empty, 1) ||
        !SendWithTimeout(list, message, wParam, buffer.param(), &result)) {
        return std::string();
    }
    std::vector<char> text(kTextSize + 1, '\0');
    buffer.Read(sizeof(Info), text.data(), kTextSize);
    return std::string(text.data());
}

}  // namespace

std::string ListItemText(HWND list, int row, int column) {
    LVITEMA item{};
    item.iSubItem = column;
    return RemoteTextQuery(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), item);
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    const int count = ListItemCount(list);
    const int columns = ListColumnCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            texts.push_back(ListItemText(list, row, column));
        }
        rows.push_back(std::move(texts));
    }
    return rows;
}

std::string ListColumnHeading(HWND list, int column) {
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT;
    return RemoteTextQuery(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), info);
}

int ListSelectionMark(HWND list) {
    LRESULT mark = -1;
    return SendWithTimeout(list, LVM_GETSELECTIONMARK, 0, 0, &mark) ? static_cast<int>(mark) : -1;
}

UINT ListItemState(HWND list, int row, UINT mask) {
    return static_cast<UINT>(SendOrZero(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

std::vector<int> ListSelectedRows(HWND list) {
    std::vector<int> rows;
    const int count = ListItemCount(list);
    for (int row = 0; row < count; ++row) {
        if (ListItemState(list, row, LVIS_SELECTED) != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

DWORD ListExtendedStyle(HWND list) {
    return static_cast<DWORD>(SendOrZero(list, LVM_GETEXTENDEDLISTVIEWSTYLE));
}

std::optional<RECT> ListItemRect(HWND list, int row) {
    RECT init{};
    init.left = LVIR_BOUNDS;
    return RemoteRect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), init);
}

std::optional<RECT> HeaderItemRect(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendOrZero(list, LVM_GETHEADER));
    if (header == nullptr) {
        return std::nullopt;
    }
    return RemoteRect(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), RECT{});
}

// ---- Combo boxes -----------------------------------------------------------------------------

int ComboCount(HWND combo) {
    return static_cast<int>(SendOrZero(combo, CB_GETCOUNT));
}

std::string ComboItemText(HWND combo, int index) {
    // CB_GETLBTEXT is copied between processes by the system. Wine shortens the ANSI form to
    // its first character across processes, so ask in UTF-16 and convert.
    LRESULT length = 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_NORMAL,
                             kSendTimeoutMs, &answer)) {
        return std::string();
    }
    length = static_cast<LRESULT>(answer);
    if (length < 0) {
        return std::string();
    }
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kSendTimeoutMs,
                             &answer) ||
        static_cast<LRESULT>(answer) < 0) {
        return std::string();
    }
    text.back() = L'\0';
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::vector<char> narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), -1, narrow.data(), size, nullptr, nullptr);
    return std::string(narrow.data());
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const int count = ComboCount(combo);
    for (int index = 0; index < count; ++index) {
        items.push_back(ComboItemText(combo, index));
    }
    return items;
}

int ComboSelection(HWND combo) {
    LRESULT selection = CB_ERR;
    return SendWithTimeout(combo, CB_GETCURSEL, 0, 0, &selection) ? static_cast<int>(selection)
                                                                  : CB_ERR;
}

bool ComboSelect(HWND combo, int index) {
    LRESULT result = CB_ERR;
    if (!SendWithTimeout(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &result) ||
        result != index) {
        return false;
    }
    const int id = GetDlgCtrlID(combo);
    return PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo)) != 0;
}

// ---- Input -----------------------------------------------------------------------------------

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool SetText(HWND edit, const std::string& text) {
    LRESULT ok = 0;
    return SendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) &&
           ok != 0;
}

bool TypeText(HWND edit, const std::string& text) {
    // Select everything and rub it out with Backspace, as a user replacing the text would.
    if (!SendWithTimeout(edit, EM_SETSEL, 0, -1, nullptr) ||
        !SendWithTimeout(edit, WM_CHAR, VK_BACK, 1, nullptr)) {
        return false;
    }
    for (const char c : text) {
        if (!SendWithTimeout(edit, WM_CHAR, static_cast<unsigned char>(c), 1, nullptr)) {
            return false;
        }
    }
    return true;
}

void PressKey(HWND hwnd, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(hwnd, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(hwnd, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void ClickAt(HWND hwnd, POINT client) {
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, PointParam(client));
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(client));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, PointParam(client));
}

void DoubleClickAt(HWND hwnd, POINT client) {
    ClickAt(hwnd, client);
    PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(client));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, PointParam(client));
}

bool ClickListHeading(HWND list, int column) {
    const std::optional<RECT> rect = HeaderItemRect(list, column);
    HWND header = reinterpret_cast<HWND>(SendOrZero(list, LVM_GETHEADER));
    if (!rect || header == nullptr) {
        return false;
    }
    ClickAt(header, Middle(*rect));
    return true;
}

namespace {

std::optional<POINT> RowPoint(HWND list, int row) {
    const std::optional<RECT> rect = ListItemRect(list, row);
    if (!rect) {
        return std::nullopt;
    }
    // The middle of the first column's part of the row: inside the row whatever the
    // full-row-selection setting.
    POINT point = Middle(*rect);
    point.x = rect->left + 20;
    return point;
}

// Clicks the row's point with `click`; false when the row has no rectangle.
bool ClickRowWith(HWND list, int row, void (*click)(HWND, POINT)) {
    const std::optional<POINT> point = RowPoint(list, row);
    if (!point) {
        return false;
    }
    click(list, *point);
    return true;
}

}  // namespace

bool DoubleClickListRow(HWND list, int row) {
    return ClickRowWith(list, row, &DoubleClickAt);
}

bool ClickListRow(HWND list, int row) {
    return ClickRowWith(list, row, &ClickAt);
}

void RightClickAt(HWND hwnd, POINT client) {
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, PointParam(client));
    PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, PointParam(client));
    PostMessageA(hwnd, WM_RBUTTONUP, 0, PointParam(client));
}

bool RightClickListRow(HWND list, int row) {
    return ClickRowWith(list, row, &RightClickAt);
}

bool PressKeyChord(HWND window, std::initializer_list<WORD> keys) {
    SetForegroundWindow(window);
    if (!WaitUntil([window] { return GetForegroundWindow() == window; }, 2000)) {
        return false;
    }
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    const UINT count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

void PostChar(HWND hwnd, char c) {
    PostMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::vector<HWND> PopupMenus(DWORD processId) {
    WindowQuery query;
    query.className = "#32768";
    query.processId = processId;
    return FindTopWindows(query);
}

bool MoveWindowTo(HWND hwnd, int x, int y, int width, int height) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

std::optional<MINMAXINFO> QueryMinMaxInfo(HWND hwnd) {
    // Filled with the system's defaults first, as the system does before it asks.
    MINMAXINFO info{};
    info.ptMinTrackSize.x = GetSystemMetrics(SM_CXMINTRACK);
    info.ptMinTrackSize.y = GetSystemMetrics(SM_CYMINTRACK);
    info.ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXTRACK);
    info.ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXTRACK);
    info.ptMaxSize.x = GetSystemMetrics(SM_CXMAXIMIZED);
    info.ptMaxSize.y = GetSystemMetrics(SM_CYMAXIMIZED);
    // WM_GETMINMAXINFO is copied between processes by the system, both ways.
    if (!SendWithTimeout(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), nullptr)) {
        return std::nullopt;
    }
    return info;
}

void RequestClose(HWND hwnd) {
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// ---- Message boxes ---------------------------------------------------------------------------

namespace {

// The id of a message box's text in the system's message-box template.
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsMessageBox(HWND hwnd) {
    HWND text = GetDlgItem(hwnd, kMessageBoxTextId);
    return text != nullptr && ClassName(text) == "Static";
}

}  // namespace

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.hwnd = box;
    info.title = WindowText(box);
    info.text = WindowText(GetDlgItem(box, kMessageBoxTextId));
    for (HWND child : Children(box)) {
        const std::string className = ClassName(child);
        if (className == "Button" && IsWindowVisible(child)) {
            info.buttons.push_back(WindowText(child));
        } else if (className == "Static" && IsWindowVisible(child) &&
                   (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            info.hasIcon = SendOrZero(child, STM_GETICON) != 0;
        }
    }
    return info;
}

std::vector<HWND> FindMessageBoxes(const std::string& title, DWORD processId) {
    WindowQuery query;
    query.title = title;
    query.className = "#32770";
    query.processId = processId;
    std::vector<HWND> boxes;
    for (HWND candidate : FindTopWindows(query)) {
        if (IsMessageBox(candidate)) {
            boxes.push_back(candidate);
        }
    }
    return boxes;
}

std::optional<MessageBoxInfo> WaitMessageBox(const std::string& title, DWORD processId,
                                             DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> boxes = FindMessageBoxes(title, processId);
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        timeoutMs);
    if (box == nullptr) {
        return std::nullopt;
    }
    return ReadMessageBox(box);
}

bool PressMessageBoxButton(HWND box, const std::string& caption) {
    for (HWND child : Children(box)) {
        if (ClassName(child) == "Button" && IsWindowVisible(child) &&
            WindowText(child) == caption) {
            Click(child);
            return true;
        }
    }
    return false;
}

// ---- Clipboard -------------------------------------------------------------------------------

std::optional<std::string> ClipboardText(UINT format) {
    ClipboardHold hold;
    HANDLE data = hold.held() ? GetClipboardData(format) : nullptr;
    const void* locked = data != nullptr ? GlobalLock(data) : nullptr;
    if (locked == nullptr) {
        return std::nullopt;
    }
    // Read no further than the block, whether or not its text is terminated.
    const size_t size = GlobalSize(data);
    std::string text;
    if (format == CF_UNICODETEXT) {
        const auto* wide = static_cast<const wchar_t*>(locked);
        const int length = static_cast<int>(wcsnlen(wide, size / sizeof(wchar_t)));
        const int bytes =
            WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<size_t>(bytes > 0 ? bytes : 0));
        if (bytes > 0) {
            WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], bytes, nullptr, nullptr);
        }
    } else {
        const auto* narrow = static_cast<const char*>(locked);
        text.assign(narrow, strnlen(narrow, size));
    }
    GlobalUnlock(data);
    return text;
}

bool ClearClipboard() {
    ClipboardHold hold;
    return hold.held() && EmptyClipboard();
}

// ---- Screenshots -----------------------------------------------------------------------------

bool SaveScreenshot(HWND hwnd, const std::string& bmpPath) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (hwnd != nullptr) {
        area = WindowRect(hwnd);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
        SelectObject(memory, old);
        GdiFlush();
        const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + imageSize;
        FILE* out = ok ? std::fopen(bmpPath.c_str(), "wb") : nullptr;
        ok = out != nullptr && std::fwrite(&file, sizeof(file), 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
             std::fwrite(bits, imageSize, 1, out) == 1;
        if (out != nullptr) {
            ok = std::fclose(out) == 0 && ok;
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace nsdriver
