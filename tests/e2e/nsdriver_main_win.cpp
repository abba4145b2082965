// nsdriver.exe: the end-to-end driver as a command-line tool for scripts and the demo. Each
// command names a top-level window by its exact title; the tool waits for it (up to the timeout
// given with -t, in milliseconds), acts or reads, prints the result and exits 0, or prints the
// reason and exits 1.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver_win.h"

namespace {

using namespace nsdriver;

void Usage() {
    std::fputs(
        "usage: nsdriver [-t TIMEOUT_MS] COMMAND ARGS\n"
        "  windows                    list visible top-level windows: handle, pid, class, title\n"
        "  wait TITLE                 wait until the window exists\n"
        "  wait-gone TITLE            wait until no such window exists\n"
        "  text TITLE ID              print a control's text\n"
        "  state TITLE ID             print 'enabled'/'disabled' and the check state\n"
        "  rows TITLE ID              print a list's rows, columns separated by tabs\n"
        "  selected TITLE ID          print the list's selection mark\n"
        "  combo TITLE ID [INDEX]     print a combo box's items, or select item INDEX\n"
        "  click TITLE ID             click a button\n"
        "  click-row TITLE ID ROW     click a list row\n"
        "  dblclick-row TITLE ID ROW  double-click a list row\n"
        "  heading TITLE ID COLUMN    click a list column heading\n"
        "  type TITLE ID TEXT         type text into an edit (its text limit applies)\n"
        "  settext TITLE ID TEXT      set an edit's text\n"
        "  msgbox TITLE [BUTTON]      print a message box's text; press BUTTON if given\n"
        "  move TITLE X Y W H         move and size the window\n"
        "  rect TITLE                 print the window's screen rectangle: X Y W H\n"
        "  close TITLE                close the window as its close box does\n"
        "  keys TITLE KEY...          press keys together in the window (ctrl, shift, alt,\n"
        "                             enter, space, escape, tab, or a letter)\n"
        "  screenshot FILE.bmp [TITLE] save the screen or the window\n",
        stderr);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "nsdriver: %s\n", message.c_str());
    return 1;
}

bool ParseInt(const std::string& text, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < -1000000 || parsed > 1000000) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

struct Command {
    DWORD timeout = kDefaultTimeoutMs;
    std::string name;
    std::vector<std::string> args;
    HWND window = nullptr;

    // Argument i as an integer; false (with a message) when it is missing or not a number.
    bool Int(size_t i, int* value) const {
        if (i >= args.size() || !ParseInt(args[i], value)) {
            std::fprintf(stderr, "nsdriver: %s: argument %zu must be a number\n", name.c_str(),
                         i + 1);
            return false;
        }
        return true;
    }
    HWND ControlArg(size_t i) const {
        int id = 0;
        if (!Int(i, &id)) {
            return nullptr;
        }
        HWND control = Control(window, id);
        if (control == nullptr) {
            std::fprintf(stderr, "nsdriver: no control %d in \"%s\"\n", id, args[0].c_str());
        }
        return control;
    }
};

int RunOnControl(const Command& c) {
    HWND control = c.ControlArg(1);
    if (control == nullptr) {
        return 1;
    }
    int number = 0;
    if (c.name == "text") {
        std::printf("%s\n", WindowText(control).c_str());
    } else if (c.name == "state") {
        std::printf("%s %d\n", IsEnabled(control) ? "enabled" : "disabled", CheckState(control));
    } else if (c.name == "rows") {
        for (const std::vector<std::string>& row : ListRows(control)) {
            for (size_t i = 0; i < row.size(); ++i) {
                std::printf("%s%s", i == 0 ? "" : "\t", row[i].c_str());
            }
            std::printf("\n");
        }
    } else if (c.name == "selected") {
        std::printf("%d\n", ListSelectionMark(control));
    } else if (c.name == "combo" && c.args.size() == 2) {
        for (const std::string& item : ComboItems(control)) {
            std::printf("%s\n", item.c_str());
        }
    } else if (c.name == "combo") {
        if (!c.Int(2, &number) || !ComboSelect(control, number)) {
            return Fail("cannot select that item");
        }
    } else if (c.name == "click") {
        Click(control);
    } else if (c.name == "click-row" || c.name == "dblclick-row") {
        if (!c.Int(2, &number)) {
            return 1;
        }
        const bool ok = c.name == "click-row" ? ClickListRow(control, number)
                                              : DoubleClickListRow(control, number);
        if (!ok) {
            return Fail("no such row");
        }
    } else if (c.name == "heading") {
        if (!c.Int(2, &number) || !ClickListHeading(control, number)) {
            return Fail("no such column");
        }
    } else if (c.name == "type" || c.name == "settext") {
        if (c.args.size() < 3) {
            return Fail(c.name + ": text missing");
        }
        const bool ok =
            c.name == "type" ? TypeText(control, c.args[2]) : SetText(control, c.args[2]);
        if (!ok) {
            return Fail("the edit did not take the text");
        }
    } else {
        Usage();
        return 1;
    }
    return 0;
}

int Run(Command& c) {
    if (c.name == "screenshot") {
        if (c.args.empty()) {
            Usage();
            return 1;
        }
        HWND window = nullptr;
        if (c.args.size() > 1 && (window = WaitWindowTitled(c.args[1], c.timeout)) == nullptr) {
            return Fail("no window \"" + c.args[1] + "\"");
        }
        return SaveScreenshot(window, c.args[0]) ? 0 : Fail("cannot save " + c.args[0]);
    }
    if (c.name == "windows") {
        for (HWND window : FindTopWindows(WindowQuery{})) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            std::printf("%p %lu %s \"%s\"\n", static_cast<void*>(window), processId,
                        ClassName(window).c_str(), WindowText(window).c_str());
        }
        return 0;
    }
    if (c.args.empty()) {
        Usage();
        return 1;
    }
    const std::string& title = c.args[0];
    if (c.name == "wait-gone") {
        WindowQuery query;
        query.title = title;
        return WaitNoTopWindow(query, c.timeout) ? 0 : Fail("\"" + title + "\" is still open");
    }
    if (c.name == "msgbox") {
        const std::optional<MessageBoxInfo> box = WaitMessageBox(title, 0, c.timeout);
        if (!box) {
            return Fail("no message box \"" + title + "\"");
        }
        std::printf("%s\n", box->text.c_str());
        if (c.args.size() > 1 && !PressMessageBoxButton(box->hwnd, c.args[1])) {
            return Fail("no button \"" + c.args[1] + "\"");
        }
        return 0;
    }
    c.window = WaitWindowTitled(title, c.timeout);
    if (c.window == nullptr) {
        return Fail("no window \"" + title + "\"");
    }
    if (c.name == "wait") {
        return 0;
    }
    if (c.name == "close") {
        RequestClose(c.window);
        return 0;
    }
    if (c.name == "keys") {
        std::vector<WORD> keys;
        for (size_t i = 1; i < c.args.size(); ++i) {
            static const struct {
                const char* name;
                WORD key;
            } kNamed[] = {{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},
                          {"enter", VK_RETURN}, {"space", VK_SPACE}, {"escape", VK_ESCAPE},
                          {"tab", VK_TAB}};
            WORD key = 0;
            for (const auto& named : kNamed) {
                key = c.args[i] == named.name ? named.key : key;
            }
            if (key == 0 && c.args[i].size() == 1 &&
                std::isalnum(static_cast<unsigned char>(c.args[i][0]))) {
                key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(c.args[i][0])));
            }
            if (key == 0) {
                return Fail("keys: unknown key " + c.args[i]);
            }
            keys.push_back(key);
        }
        bool pressed = false;
        switch (keys.size()) {
            case 1:
                pressed = PressKeyChord(c.window, {keys[0]});
                break;
            case 2:
                pressed = PressKeyChord(c.window, {keys[0], keys[1]});
                break;
            case 3:
                pressed = PressKeyChord(c.window, {keys[0], keys[1], keys[2]});
                break;
            default:
                return Fail("keys: one to three keys");
        }
        return pressed ? 0 : Fail("keys: not pressed");
    }
    if (c.name == "rect") {
        const RECT r = WindowRect(c.window);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (c.name == "move") {
        int v[4] = {};
        for (size_t i = 0; i < 4; ++i) {
            if (!c.Int(i + 1, &v[i])) {
                return 1;
            }
        }
        return MoveWindowTo(c.window, v[0], v[1], v[2], v[3]) ? 0 : Fail("cannot move");
    }
    return RunOnControl(c);
}

}  // namespace

int main(int argc, char** argv) {
    Command command;
    int i = 1;
    if (i + 1 < argc && std::string(argv[i]) == "-t") {
        int timeout = 0;
        if (!ParseInt(argv[i + 1], &timeout) || timeout < 0) {
            return Fail("-t needs a number of milliseconds");
        }
        command.timeout = static_cast<DWORD>(timeout);
        i += 2;
    }
    if (i >= argc) {
        Usage();
        return 1;
    }
    command.name = argv[i++];
    for (; i < argc; ++i) {
        command.args.push_back(argv[i]);
    }
    return Run(command);
}
