// A small modal-dialog layer over DialogBoxParamA: a dialog class overrides only the messages
// it handles and ends itself with EndModal. Also the application's main-window pointer and the
// wait cursor, which every long command shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace netsonde {

class ModalDialog {
  public:
    ModalDialog(int templateId, HWND parent);
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Runs the dialog modally and returns the result given to EndModal, or -1 when the dialog
    // could not be created. Without a parent the dialog is owned by the application's main
    // window (when there is one), which stays disabled while it runs. A dialog with no owner at
    // all (the main window itself) shows the program's icon.
    INT_PTR DoModal();

    // The dialog's window while it runs; null before and after.
    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  protected:
    // WM_INITDIALOG: return true to let the system put the focus on the first tab stop.
    virtual bool OnInitDialog() { return true; }
    // WM_COMMAND other than IDOK and IDCANCEL; return true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // WM_NOTIFY; return true when handled, with the notification's result in *result.
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) { return false; }
    // Any other message; return true when handled, with its result in *result (for the
    // WM_CTLCOLOR* family and the other messages answered directly, *result is the answer).
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT* /*result*/) { return false; }
    virtual void OnOK() { EndModal(IDOK); }
    virtual void OnCancel() { EndModal(IDCANCEL); }

    void EndModal(INT_PTR result);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
};

// The application's main window while it runs (the Scan List window), or null.
HWND AppMainWindow();
void SetAppMainWindow(HWND hwnd);

// Shows the wait cursor for the lifetime of the object and restores the previous one.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

// Text of a control as a std::string (empty when the control is missing).
std::string ControlText(HWND control);

}  // namespace netsonde
