// One receive judged for an exchange; see record_receive.h.
#include "protocol/record_receive.h"

#include <array>

namespace netsonde {

Arrival ReceiveRecord(DatagramSocket& socket, DeviceRecord* record) {
    std::array<std::uint8_t, kRecordSize> buffer{};
    const ReceiveResult received = socket.Receive(buffer.data(), buffer.size());
    switch (received.status) {
        case ReceiveStatus::WouldBlock:
            return Arrival::Nothing;
        case ReceiveStatus::Datagram:
            // Anything but exactly one record is dropped without a word.
            return DeviceRecord::FromDatagram(buffer.data(), received.bytes, record)
                       ? Arrival::Record
                       : Arrival::Dropped;
        case ReceiveStatus::MessageTooLong:
        case ReceiveStatus::ConnectionReset:
            // Any host on the segment can send a datagram longer than a record to the scanning
            // port, or an ICMP port unreachable quoting it. Neither is a reply, and neither may
            // hide the devices that answer after it: dropped like a short datagram.
            return Arrival::Dropped;
        case ReceiveStatus::Failed:
            break;
    }
    return Arrival::Failed;
}

}  // namespace netsonde
