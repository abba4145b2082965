// The Change Several Devices dialog: the device list with its check boxes, the settings and
// their check boxes, Preview, Apply with its worker thread, Stop, Save Report and Close. The
// rules live in batch_change and batch_run; this file only moves texts and results between them
// and the controls.
#include "commission/change_several_dialog_win.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "adapter/adapter_tables_win.h"
#include "app/dialog_win.h"
#include "app/message_box_win.h"
#include "app/save_file_win.h"
#include "app/window_dpi_win.h"
#include "commission/apply_report.h"
#include "commission/batch_change.h"
#include "commission/batch_run.h"
#include "commission/change_plan.h"
#include "commission/device_change.h"
#include "config/change_fields.h"
#include "discovery/device_reply.h"
#include "discovery/device_table.h"
#include "discovery/list_view_rows_win.h"
#include "discovery/scan_devices.h"
#include "protocol/text_forms.h"
#include "protocol/ipv4_number.h"
#include "res/resource.h"

namespace netsonde {
namespace {

using commission::BatchEvent;
using commission::BatchSetting;

enum SeveralColumn : int { kMacCol, kNameCol, kIpCol, kNewIpCol, kResultCol, kSeveralColumns };

constexpr ListColumn kSeveralColumnLayout[kSeveralColumns] = {
    {"MAC Address", 110},   {"System Name", 120}, {"IP Address", 95},
    {"New IP Address", 95}, {"Result", 150},
};

// Each setting's check box, the controls it enables and the longest text its edit takes.
struct SettingControls {
    int checkId;
    int controlIds[3];
    int limit;
};
constexpr SettingControls kSettings[] = {
    {IDC_SEVERAL_TYPE_SET, {IDC_SEVERAL_STATIC, IDC_SEVERAL_DYNAMIC, 0}, 0},
    {IDC_SEVERAL_FIRST_IP_SET,
     {IDC_SEVERAL_FIRST_IP, IDC_SEVERAL_STEP, IDC_SEVERAL_STEP_LABEL},
     15},
    {IDC_SEVERAL_MASK_SET, {IDC_SEVERAL_MASK, 0, 0}, 15},
    {IDC_SEVERAL_GATEWAY_SET, {IDC_SEVERAL_GATEWAY, 0, 0}, 15},
    {IDC_SEVERAL_TFTP_SET, {IDC_SEVERAL_TFTP, 0, 0}, 15},
    {IDC_SEVERAL_IMAGE_SET,
     {IDC_SEVERAL_IMAGE, 0, 0},
     static_cast<int>(field::kImageFileNameSize) - 1},
    {IDC_SEVERAL_PASSWORD_SET,
     {IDC_SEVERAL_PASSWORD, 0, 0},
     static_cast<int>(field::kPasswordSize) - 1},
};

// Where a problem puts the focus: the setting's edit, or its check box when it was not given.
struct ProblemFocus {
    BatchSetting setting;
    int checkId;
    int editId;
};
constexpr ProblemFocus kProblemFocus[] = {
    {BatchSetting::Devices, 0, IDC_SEVERAL_DEVICE_LIST},
    {BatchSetting::FirstIp, IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_FIRST_IP},
    {BatchSetting::Step, IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_STEP},
    {BatchSetting::Mask, IDC_SEVERAL_MASK_SET, IDC_SEVERAL_MASK},
    {BatchSetting::Gateway, IDC_SEVERAL_GATEWAY_SET, IDC_SEVERAL_GATEWAY},
    {BatchSetting::Tftp, IDC_SEVERAL_TFTP_SET, IDC_SEVERAL_TFTP},
};

// Posted by the worker thread with a BatchEvent it allocated; the window deletes it.
constexpr UINT kBatchEventMessage = WM_APP + 0x51;

// Every address the workstation holds, so none is handed to a device.
std::vector<std::uint32_t> OwnAddresses() {
    std::vector<std::uint32_t> own;
    AdapterTables tables;
    if (ReadAdapterTables(&tables)) {
        for (const AddressRow& row : tables.addresses) {
            own.push_back(Ipv4Number(row.address));
        }
    }
    return own;
}

class ChangeSeveralDialog : public ModalDialog {
  public:
    explicit ChangeSeveralDialog(HWND scanList)
        : ModalDialog(IDD_CHANGE_SEVERAL, nullptr), scanRows_(scanList) {}
    ~ChangeSeveralDialog() override {
        stop_ = true;
        if (worker_.joinable()) {
            worker_.join();
        }
    }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnOK() override { Preview(nullptr); }
    void OnCancel() override;

  private:
    struct Row {
        int scanRow;
        std::size_t index;  // into DeviceTable
    };

    void InsertColumns();
    void FillList();
    void CheckAll(bool checked);
    bool Checked(UINT checkId) const { return IsDlgButtonChecked(hwnd(), checkId) == BST_CHECKED; }
    void EnableSettings();
    commission::BatchPlan MakePlan();
    // Fills New IP Address and shows the first problem; true when there is none, with the
    // plan in *plan when asked for.
    bool Preview(commission::BatchPlan* plan);
    void Apply();
    void OnBatchEvent(const BatchEvent& event);
    void SetRunning(bool running);
    void SaveReport();

    ListViewRows scanRows_;
    ListViewRows rows_;
    std::vector<Row> listed_;
    // Read once: the tables take a while to read, and they do not change under the dialog.
    std::vector<std::uint32_t> ownAddresses_ = OwnAddresses();
    std::vector<commission::BatchEntry> entries_;
    std::vector<commission::BatchResult> results_;  // per entry
    std::thread worker_;
    std::atomic<bool> stop_{false};
    bool running_ = false;
    bool closeWhenDone_ = false;
};

bool ChangeSeveralDialog::OnInitDialog() {
    rows_.Attach(Item(IDC_SEVERAL_DEVICE_LIST));
    SendMessageA(rows_.handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    InsertColumns();
    for (const SettingControls& setting : kSettings) {
        if (setting.limit > 0) {
            SendDlgItemMessageA(hwnd(), setting.controlIds[0], EM_LIMITTEXT, setting.limit, 0);
        }
    }
    SendDlgItemMessageA(hwnd(), IDC_SEVERAL_STEP, EM_LIMITTEXT, 3, 0);
    SetDlgItemTextA(hwnd(), IDC_SEVERAL_STEP, "1");
    CheckRadioButton(hwnd(), IDC_SEVERAL_STATIC, IDC_SEVERAL_DYNAMIC, IDC_SEVERAL_STATIC);
    FillList();
    EnableSettings();
    // The focus starts in the list, on the row the menu was opened for.
    SetFocus(rows_.handle());
    return false;
}

void ChangeSeveralDialog::InsertColumns() {
    rows_.InsertColumns(kSeveralColumnLayout, kSeveralColumns, WindowDpi(hwnd()));
}

void ChangeSeveralDialog::FillList() {
    const int marked = scanRows_.SelectionMarkRow();
    const int count = scanRows_.RowCount();
    for (int row = 0; row < count; ++row) {
        const std::string mac = scanRows_.RowText(row, kMacColumn);
        int index = -1;
        if (!MacIndex.Lookup(mac, &index) || index < 0 ||
            static_cast<std::size_t>(index) >= kMaxDevices) {
            continue;  // a row the index does not know has no record to change
        }
        const int at = rows_.InsertRow(rows_.RowCount(), mac);
        if (at < 0) {
            continue;
        }
        listed_.push_back({row, static_cast<std::size_t>(index)});
        rows_.SetRowText(at, kNameCol, scanRows_.RowText(row, kNameColumn));
        rows_.SetRowText(at, kIpCol, scanRows_.RowText(row, kIpColumn));
        if (row == marked) {
            ListView_SetCheckState(rows_.handle(), at, TRUE);
            rows_.SelectRow(at);
        }
    }
}

void ChangeSeveralDialog::CheckAll(bool checked) {
    for (int row = 0; row < rows_.RowCount(); ++row) {
        ListView_SetCheckState(rows_.handle(), row, checked ? TRUE : FALSE);
    }
}

void ChangeSeveralDialog::EnableSettings() {
    // Addresses go only to static devices, as in the Change dialog.
    const bool dynamic = Checked(IDC_SEVERAL_TYPE_SET) && Checked(IDC_SEVERAL_DYNAMIC);
    for (const SettingControls& setting : kSettings) {
        const bool on = !running_ && Checked(setting.checkId) &&
                        !(dynamic && setting.checkId == IDC_SEVERAL_FIRST_IP_SET);
        EnableWindow(Item(setting.checkId), running_ ? FALSE : TRUE);
        for (int id : setting.controlIds) {
            if (id != 0) {
                EnableWindow(Item(id), on ? TRUE : FALSE);
            }
        }
    }
}

commission::BatchPlan ChangeSeveralDialog::MakePlan() {
    commission::BatchSettings settings;
    const auto text = [this](UINT checkId, int editId) -> std::optional<std::string> {
        if (!Checked(checkId)) {
            return std::nullopt;
        }
        return ControlText(Item(editId));
    };
    if (Checked(IDC_SEVERAL_TYPE_SET)) {
        settings.type = Checked(IDC_SEVERAL_DYNAMIC) ? AddressType::Dynamic : AddressType::Static;
    }
    if (settings.type != AddressType::Dynamic) {
        settings.firstIp = text(IDC_SEVERAL_FIRST_IP_SET, IDC_SEVERAL_FIRST_IP);
    }
    settings.stepText = ControlText(Item(IDC_SEVERAL_STEP));
    settings.mask = text(IDC_SEVERAL_MASK_SET, IDC_SEVERAL_MASK);
    settings.gateway = text(IDC_SEVERAL_GATEWAY_SET, IDC_SEVERAL_GATEWAY);
    settings.tftp = text(IDC_SEVERAL_TFTP_SET, IDC_SEVERAL_TFTP);
    settings.image = text(IDC_SEVERAL_IMAGE_SET, IDC_SEVERAL_IMAGE);
    settings.password = text(IDC_SEVERAL_PASSWORD_SET, IDC_SEVERAL_PASSWORD);

    std::vector<commission::BatchDevice> devices;
    for (std::size_t row = 0; row < listed_.size(); ++row) {
        devices.push_back({DeviceTable[listed_[row].index],
                           ListView_GetCheckState(rows_.handle(), static_cast<int>(row)) != 0});
    }
    return commission::PlanBatch(devices, settings, ownAddresses_);
}

bool ChangeSeveralDialog::Preview(commission::BatchPlan* made) {
    if (running_) {
        return false;
    }
    commission::BatchPlan plan = MakePlan();
    for (std::size_t row = 0; row < plan.newIpTexts.size(); ++row) {
        rows_.SetRowText(static_cast<int>(row), kNewIpCol, plan.newIpTexts[row]);
    }
    if (!plan.problem) {
        if (made != nullptr) {
            *made = std::move(plan);
        }
        return true;
    }
    ShowAppMessage(plan.problem->message.c_str());
    for (const ProblemFocus& focus : kProblemFocus) {
        if (focus.setting == plan.problem->setting) {
            const int id = plan.problem->given || focus.checkId == 0 ? focus.editId : focus.checkId;
            SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
        }
    }
    return false;
}

void ChangeSeveralDialog::Apply() {
    commission::BatchPlan plan;
    if (running_ || !Preview(&plan)) {
        return;
    }
    const std::string question = "Change " + std::to_string(plan.entries.size()) + " device" +
                                 (plan.entries.size() == 1 ? "" : "s") + "?";
    if (ShowAppMessage(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    entries_ = std::move(plan.entries);
    results_.assign(entries_.size(), {});
    for (const commission::BatchEntry& entry : entries_) {
        rows_.SetRowText(static_cast<int>(entry.device), kResultCol, "");
    }
    SetDlgItemTextA(hwnd(), IDC_SEVERAL_STATUS, "Sending...");
    stop_ = false;
    SetRunning(true);

    const std::string adapter = SelectedAdapterAddress();
    commission::BatchIo io;
    io.send = [adapter](const DeviceRecord& request) {
        std::string socketError;  // the Result column says what it meant for the device
        return commission::SendSetRequest(request, adapter, &socketError);
    };
    io.rescan = [adapter](commission::FoundDevices* heard) {
        const ExchangeOutcome outcome = BroadcastExchange(
            BuildDiscoveryRequest(), adapter,
            [&](const DeviceRecord& datagram) { heard->Add(adapter, datagram); },
            PlatformExchangeIo([](const char*) {}));
        return outcome.result != ExchangeResult::NotStarted;
    };
    HWND window = hwnd();
    worker_ = std::thread([this, io, window] {
        commission::RunBatch(entries_, io, stop_, [window](const BatchEvent& event) {
            auto* posted = new BatchEvent(event);
            if (!PostMessageA(window, kBatchEventMessage, 0, reinterpret_cast<LPARAM>(posted))) {
                delete posted;  // the window is gone: nobody is left to show it
            }
        });
    });
}

void ChangeSeveralDialog::SetRunning(bool running) {
    running_ = running;
    const int idle[] = {IDC_SEVERAL_PREVIEW, IDC_SEVERAL_APPLY, IDC_SEVERAL_CHECK_ALL,
                        IDC_SEVERAL_CHECK_NONE, IDC_SEVERAL_SAVE_REPORT};
    for (int id : idle) {
        EnableWindow(Item(id),
                     running || (id == IDC_SEVERAL_SAVE_REPORT && entries_.empty()) ? FALSE : TRUE);
    }
    // The list keeps scrolling while a batch runs; its check boxes are only read at Apply.
    EnableWindow(Item(IDC_SEVERAL_STOP), running ? TRUE : FALSE);
    EnableSettings();
    SendMessageA(hwnd(), DM_SETDEFID, running ? IDC_SEVERAL_STOP : IDC_SEVERAL_PREVIEW, 0);
    if (GetFocus() == nullptr || !IsWindowEnabled(GetFocus())) {
        SendMessageA(hwnd(), WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(Item(running ? IDC_SEVERAL_STOP : IDCANCEL)), TRUE);
    }
}

void ChangeSeveralDialog::OnBatchEvent(const BatchEvent& event) {
    switch (event.kind) {
        case BatchEvent::Kind::Result: {
            if (event.entry >= entries_.size()) {
                return;
            }
            results_[event.entry] = event.result;
            const std::size_t device = entries_[event.entry].device;
            rows_.SetRowText(static_cast<int>(device), kResultCol,
                             commission::BatchResultText(event.result));
            // What the device now holds goes into the Scan List at once, as the Change
            // dialog's accepted change does: the request as sent, then the record seen.
            const auto outcome = event.result.outcome;
            if (outcome == commission::BatchOutcome::Accepted ||
                outcome == commission::BatchOutcome::Verified) {
                StoreChangedDevice(scanRows_, listed_[device].scanRow, listed_[device].index,
                                   event.record);
                rows_.SetRowText(static_cast<int>(device), kIpCol,
                                 FormatIpText(event.record.ipAddress()));
            }
            break;
        }
        case BatchEvent::Kind::Verifying: {
            const std::string status = "Verifying... " + std::to_string(event.verified) + " of " +
                                       std::to_string(event.accepted);
            SetDlgItemTextA(hwnd(), IDC_SEVERAL_STATUS, status.c_str());
            break;
        }
        case BatchEvent::Kind::Done: {
            if (worker_.joinable()) {
                worker_.join();
            }
            std::size_t counts[7] = {};
            for (const commission::BatchResult& result : results_) {
                ++counts[static_cast<int>(result.outcome)];
            }
            using commission::BatchOutcome;
            const std::string status =
                std::string(stop_ ? "Stopped. " : "Done. ") +
                std::to_string(counts[static_cast<int>(BatchOutcome::Verified)]) + " verified, " +
                std::to_string(counts[static_cast<int>(BatchOutcome::Accepted)] +
                               counts[static_cast<int>(BatchOutcome::NotSeen)]) +
                " not verified, " +
                std::to_string(counts[static_cast<int>(BatchOutcome::Refused)]) + " refused, " +
                std::to_string(counts[static_cast<int>(BatchOutcome::NoAnswer)]) + " no answer, " +
                std::to_string(counts[static_cast<int>(BatchOutcome::NotSent)]) + " not sent.";
            SetDlgItemTextA(hwnd(), IDC_SEVERAL_STATUS, status.c_str());
            SetRunning(false);
            if (closeWhenDone_) {
                EndModal(IDCANCEL);
            }
            break;
        }
    }
}

void ChangeSeveralDialog::SaveReport() {
    std::string path;
    DWORD filterIndex = 0;
    if (!AskSaveFileName(hwnd(), "Save Report", "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0",
                         "csv", "report.csv", &path, &filterIndex)) {
        return;
    }
    std::vector<commission::ReportRow> rows;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const commission::BatchEntry& entry = entries_[i];
        commission::ReportRow row;
        row.line = entry.device + 1;
        row.mac = FormatMacText(entry.stored.mac());
        row.outcome = commission::BatchReportOutcome(results_[i]);
        row.detail = commission::BatchResultText(results_[i]);
        row.changes = commission::RequestedChanges(entry.stored, entry.request);
        rows.push_back(row);
    }
    WriteFileOrSay(path, commission::ApplyReportCsv(rows), "report");
}

void ChangeSeveralDialog::OnCancel() {
    if (!running_) {
        EndModal(IDCANCEL);
        return;
    }
    if (ShowAppMessage("Stop the changes and close?", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    if (!running_) {  // the batch ended while the question was open
        EndModal(IDCANCEL);
        return;
    }
    stop_ = true;
    closeWhenDone_ = true;
}

bool ChangeSeveralDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_SEVERAL_CHECK_ALL:
        case IDC_SEVERAL_CHECK_NONE:
            CheckAll(id == IDC_SEVERAL_CHECK_ALL);
            return true;
        case IDC_SEVERAL_PREVIEW:
            Preview(nullptr);
            return true;
        case IDC_SEVERAL_APPLY:
            Apply();
            return true;
        case IDC_SEVERAL_STOP:
            stop_ = true;
            SetDlgItemTextA(hwnd(), IDC_SEVERAL_STATUS, "Stopping...");
            return true;
        case IDC_SEVERAL_SAVE_REPORT:
            SaveReport();
            return true;
        case IDC_SEVERAL_STATIC:
        case IDC_SEVERAL_DYNAMIC:
            EnableSettings();
            return true;
        default:
            for (const SettingControls& setting : kSettings) {
                if (setting.checkId == id) {
                    EnableSettings();
                    return true;
                }
            }
            return false;
    }
}

bool ChangeSeveralDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != kBatchEventMessage) {
        return false;
    }
    std::unique_ptr<BatchEvent> event(reinterpret_cast<BatchEvent*>(lParam));
    OnBatchEvent(*event);
    *result = 0;
    return true;
}

}  // namespace

void ChangeSeveralDevices(HWND scanList) {
    ChangeSeveralDialog dialog(scanList);
    dialog.DoModal();
}

}  // namespace netsonde
