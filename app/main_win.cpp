// Process entry point of Netsonde.exe: the application object and the run from start to exit.
//
// Static state: DeviceScanApp has a constexpr constructor and no members that need dynamic
// construction, so it is constant-initialised before any dynamically constructed object of the
// program (MacIndex among them) and destroyed after all of them. Its destructor is trivial, and
// the run itself (WinMain) starts only once every static object exists, so the order of
// construction across files can never matter. Windows Sockets are stopped by the run, not by a
// destructor, so nothing runs against Winsock while static objects are torn down.
#include <windows.h>
#include <commctrl.h>

#include "app/dialog_win.h"
#include "app/exit_codes.h"
#include "app/message_box_win.h"
#include "app/winsock_start_win.h"
#include "discovery/scan_list_dialog_win.h"
#include "res/resource.h"

namespace netsonde {

static_assert(kScanListNoAdapterResult == kMainWindowNoAdapterResult,
              "the main window's no-adapter result must map to its exit code");

class DeviceScanApp {
  public:
    constexpr DeviceScanApp() = default;

    // Starts sockets, runs the main window modally and answers the process exit code. The
    // adapter chooser may end the process from inside the main window's run (exit code 1).
    int Run();

  private:
    // Registers the list view class (and the standard ones that common controls 6 themes).
    static void InitCommonControlsForDialogs();
};

void DeviceScanApp::InitCommonControlsForDialogs() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        // Older common controls do not know the standard-classes flag; the list view is the
        // class the program cannot do without.
        controls.dwICC = ICC_LISTVIEW_CLASSES;
        InitCommonControlsEx(&controls);
    }
}

int DeviceScanApp::Run() {
    InitCommonControlsForDialogs();
    if (!StartWindowsSockets()) {
        ShowAppMessage(IDS_SOCKETS_INIT_FAILED);
        return kExitSocketsFailed;
    }
    INT_PTR result = -1;
    {
        // The window makes itself the application's main window once it exists.
        ScanListDialog mainWindow;
        result = mainWindow.DoModal();
    }
    SetAppMainWindow(nullptr);
    StopWindowsSockets();
    return ExitCodeForMainWindowResult(result);
}

namespace {
DeviceScanApp theApp;
}  // namespace

}  // namespace netsonde

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return netsonde::theApp.Run();
}
