// The Change dialog's OK button: check the typed addresses, broadcast the set request and tell
// the operator whether the device accepted it, refused it or stayed silent.
#include <cstring>
#include <string>

#include "adapter/selected_adapter.h"
#include "app/message_box_win.h"
#include "config/change_dialog_win.h"
#include "config/change_fields.h"
#include "protocol/broadcast_exchange.h"

namespace netsonde {

namespace {

std::string SelectedLocalAddress() {
    const char* text = SelectedAdapter.addressText;
    const void* end = std::memchr(text, '\0', kAddressTextSize);
    const std::size_t length =
        end != nullptr ? static_cast<const char*>(end) - text : kAddressTextSize;
    return std::string(text, length);
}

}  // namespace

void ChangeDialog::OnOK() {
    WaitCursor wait;
    const ChangeFields fields = CurrentFields();
    if (const auto failure = FirstInvalidAddress(fields, DescriptionHasV(WorkingRecord))) {
        ShowAppMessage(failure->message);
        SetFocus(Item(failure->editId));
        return;
    }

    const DeviceRecord request = BuildSetRequest(WorkingRecord, fields);
    const ExchangeOutcome outcome =
        BroadcastExchange(request, SelectedLocalAddress(), &WorkingRecord,
                          PlatformExchangeIo([](const char* message) { ShowAppMessage(message); }));
    switch (outcome.result) {
        case ExchangeResult::Accepted:
            ShowAppMessage(
                "Device update successful.\r\nThe device will now reboot\r\nfor changes to take "
                "effect.");
            EndModal(IDOK);
            break;
        case ExchangeResult::Rejected:
            ShowAppMessage(RefusalMessage(outcome.errorMask).c_str());
            break;
        case ExchangeResult::NoAnswer:
            ShowAppMessage("No response from device\r\n");
            break;
        case ExchangeResult::NotStarted:
        case ExchangeResult::Completed:
            break;  // nothing was sent: the dialog stays open without a message
    }
}

}  // namespace netsonde
