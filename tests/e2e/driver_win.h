// The end-to-end test driver: finds and drives the windows of another Win32 process on the same
// (Wine) display, the way an operator would, and reads back what the windows show. Used by the
// end-to-end test programs and by the nsdriver command-line tool.
//
// Everything that can start a modal loop in the target (button clicks, mouse input) is posted,
// never sent, so the driver cannot hang on a dialog the target opens. Reads go through
// SendMessageTimeout, and list-view and header data that the system does not copy between
// processes go through memory allocated in the target process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace nsdriver {

// Default time the driver waits for a window or a state to appear.
constexpr DWORD kDefaultTimeoutMs = 10000;

// ---- Processes -------------------------------------------------------------------------------

// A process started by the driver. The destructor kills it if it is still running.
class Process {
  public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts commandLine (the program path quoted if it contains spaces). Returns an empty
    // Process (running() false) when the start failed.
    static Process Start(const std::string& commandLine);

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }
    // True while the process has not exited.
    bool Running() const;
    // Waits for the exit and returns the exit code, or nothing on timeout.
    std::optional<DWORD> WaitExit(DWORD timeoutMs);
    // Ends the process if it still runs.
    void Kill();

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// ---- Finding windows -------------------------------------------------------------------------

// Options for finding a top-level window. Empty strings and a zero process id match anything.
struct WindowQuery {
    std::string title;      // exact window text
    std::string className;  // exact class name, e.g. "#32770" for dialogs and message boxes
    DWORD processId = 0;    // owning process
    bool visibleOnly = true;
};

// All top-level windows that match, in Z order.
std::vector<HWND> FindTopWindows(const WindowQuery& query);
// Waits until a matching window exists and returns it, or null after the timeout.
HWND WaitTopWindow(const WindowQuery& query, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits until no matching window exists; false on timeout.
bool WaitNoTopWindow(const WindowQuery& query, DWORD timeoutMs = kDefaultTimeoutMs);
// Convenience: a visible top-level window with this exact title.
HWND WaitWindowTitled(const std::string& title, DWORD timeoutMs = kDefaultTimeoutMs);

// Polls predicate every few milliseconds until it is true or the timeout passes.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs = kDefaultTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (predicate()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(20);
    }
}

// ---- Reading controls ------------------------------------------------------------------------

HWND Control(HWND dialog, int id);
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
bool IsEnabled(HWND hwnd);
bool IsVisible(HWND hwnd);
// BM_GETCHECK of a check box or radio button: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
int CheckState(HWND button);
// The window that has the keyboard focus in the thread that owns hwnd (null if none).
HWND FocusedWindow(HWND hwnd);
// The window's rectangle in its parent's client coordinates (screen coordinates for a
// top-level window).
RECT RectInParent(HWND hwnd);
RECT ClientRect(HWND hwnd);
RECT WindowRect(HWND hwnd);
// Waits until the round trip through the target's message queue is done, so that posted input
// has been handled. False if the target does not answer within the timeout.
bool Settle(HWND hwnd, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- List views ------------------------------------------------------------------------------

int ListItemCount(HWND list);
int ListColumnCount(HWND list);
std::string ListItemText(HWND list, int row, int column);
// All rows, each with ListColumnCount() texts.
std::vector<std::vector<std::string>> ListRows(HWND list);
std::string ListColumnHeading(HWND list, int column);
int ListSelectionMark(HWND list);
// LVIS_* state bits of a row (selected, focused) masked with mask.
UINT ListItemState(HWND list, int row, UINT mask);
// Rows with the selected state, in row order.
std::vector<int> ListSelectedRows(HWND list);
DWORD ListExtendedStyle(HWND list);
// The row's bounds (LVIR_BOUNDS) in the list's client coordinates.
std::optional<RECT> ListItemRect(HWND list, int row);
// The bounds of column heading `column` in the header control's client coordinates.
std::optional<RECT> HeaderItemRect(HWND list, int column);

// ---- Combo boxes -----------------------------------------------------------------------------

int ComboCount(HWND combo);
std::string ComboItemText(HWND combo, int index);
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Selects an item and tells the owner as a user's choice would (CBN_SELCHANGE).
bool ComboSelect(HWND combo, int index);

// ---- Input -----------------------------------------------------------------------------------

// Clicks a push button, check box or radio button (posted BM_CLICK).
void Click(HWND button);
// Replaces an edit's text at once (WM_SETTEXT): not limited by the edit's text limit.
bool SetText(HWND edit, const std::string& text);
// Types text into an edit character by character (WM_CHAR), after selecting all of its text so
// the typing replaces it; the edit's text limit applies as it would to a user's typing.
bool TypeText(HWND edit, const std::string& text);
// Sends one key press (WM_KEYDOWN + WM_KEYUP) to a window, e.g. VK_RETURN or VK_ESCAPE.
void PressKey(HWND hwnd, UINT virtualKey);
// Mouse click at a point of a window's client area, through posted mouse messages.
void ClickAt(HWND hwnd, POINT client);
void DoubleClickAt(HWND hwnd, POINT client);
// Clicks a list-view column heading: a click on the header control, so the list reports the
// column click to its owner through its own notification path.
bool ClickListHeading(HWND list, int column);
// Double-clicks a list row at the middle of its first column.
bool DoubleClickListRow(HWND list, int row);
// Clicks a list row (selects it as a user's click would).
bool ClickListRow(HWND list, int row);
// Moves and sizes a top-level window (screen coordinates, whole window).
bool MoveWindowTo(HWND hwnd, int x, int y, int width, int height);
// Asks the window for its size limits (WM_GETMINMAXINFO), as the system does when the user
// drags the frame.
std::optional<MINMAXINFO> QueryMinMaxInfo(HWND hwnd);
// Asks the window to close as its close box does (posted WM_SYSCOMMAND SC_CLOSE).
void RequestClose(HWND hwnd);

// Right-click at a point of a window's client area, through posted mouse messages, with the
// pointer moved there first (a list reports the pointer's position with its context menu).
void RightClickAt(HWND hwnd, POINT client);
// Right-clicks a list row at the same point as ClickListRow.
bool RightClickListRow(HWND list, int row);
// Presses keys together as an operator's keyboard does (SendInput): each down in order, then up
// in reverse, e.g. {VK_CONTROL, 'C'}. The input goes to the focus of the foreground window, so
// `window` is brought to the foreground first; unlike posted key messages, the target then sees
// the modifier keys held (GetKeyState).
bool PressKeyChord(HWND window, std::initializer_list<WORD> keys);
// Posts a typed character (WM_CHAR), e.g. an item's access key to an open popup menu, which takes
// the keyboard input of its whole thread.
void PostChar(HWND hwnd, char c);
// The popup menus a process shows now (its visible windows of class "#32768").
std::vector<HWND> PopupMenus(DWORD processId);

// ---- Clipboard -------------------------------------------------------------------------------

// The clipboard's text in CF_TEXT, or in CF_UNICODETEXT given back in the ANSI code page;
// nothing when the format is absent or the clipboard cannot be opened.
std::optional<std::string> ClipboardText(UINT format);
// Empties the clipboard; false when it cannot be opened.
bool ClearClipboard();
// Keeps the clipboard open, as a program busy with it would, until destroyed.
class ClipboardHold {
  public:
    ClipboardHold() : held_(OpenClipboard(nullptr) != 0) {}
    ~ClipboardHold() {
        if (held_) {
            CloseClipboard();
        }
    }
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    bool held() const { return held_; }

  private:
    bool held_;
};

// ---- Message boxes ---------------------------------------------------------------------------

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;  // captions, in child order
    bool hasIcon = false;
};

// Waits for a message box (a dialog of class #32770 with the given title and a static text of
// the message-box text id) of process `processId` (0: any) and reads it.
std::optional<MessageBoxInfo> WaitMessageBox(const std::string& title, DWORD processId,
                                             DWORD timeoutMs = kDefaultTimeoutMs);
// The message boxes shown now (same matching as WaitMessageBox; an empty title matches any).
// Dialogs with unnumbered static texts look alike: filter by title where that matters.
std::vector<HWND> FindMessageBoxes(const std::string& title, DWORD processId);
// Reads a message box already found.
MessageBoxInfo ReadMessageBox(HWND box);
// Presses the box's button with this caption ("OK"); false if there is no such button.
bool PressMessageBoxButton(HWND box, const std::string& caption = "OK");

// ---- Screenshots -----------------------------------------------------------------------------

// Saves the window's screen area (or the whole screen for null) as a 24-bit BMP file.
bool SaveScreenshot(HWND hwnd, const std::string& bmpPath);

}  // namespace nsdriver
