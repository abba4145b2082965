// The main window, dialog 133 "Scan List": the list of found devices and the commands on them.
#pragma once

#include "app/dialog_win.h"
#include "discovery/list_view_rows_win.h"
#include "discovery/scan_devices.h"

namespace netsonde {

// Result with which the window ends when the adapter chooser had no adapter to offer.
constexpr INT_PTR kScanListNoAdapterResult = 3;

class ScanListDialog : public ModalDialog, private ScanWindow {
  public:
    ScanListDialog();

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Enter reaches the window as the default button, Rescan; should it arrive as IDOK it
    // rescans as well rather than closing the main window.
    void OnOK() override;

  private:
    void InsertColumns();
    // A scan with the wait cursor shown for its whole length.
    void Rescan();
    void OpenWebConfig();
    // Change Several Devices over the listed rows; nothing without a row.
    void ChangeSeveral();
    void SortByColumn(int column);
    void Relayout(int cx, int cy);
    // Moved to a screen of another DPI: the suggested rectangle, the layout, the column widths.
    void ApplyDpiChange();

    // What a scan needs of this window.
    DeviceRowList& Rows() override { return rows_; }
    void EnableDeviceCommands(bool enable) override;
    void RepaintList() override;
    bool RunAdapterChooser() override;
    void EndForNoAdapter() override;
    ExchangeResult RunDiscoveryExchange(const DeviceRecord& request,
                                        const std::string& localAddress,
                                        const ReplyHandler& onReply) override;
    void SelectFirstRow() override;

    ListViewRows rows_;
    int columnDpi_ = 0;  // the DPI the column widths were last set for
    RECT dpiChangeRect_ = {};
};

}  // namespace netsonde
