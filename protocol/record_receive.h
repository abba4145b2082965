// One receive as the exchanges see it: a whole 612-byte record, nothing queued, something that is
// no reply and is dropped, or a receive error that stops receiving. Both the single-socket and the
// multi-socket exchange read through this, so they drop and stop on exactly the same things.
#pragma once

#include "protocol/datagram_socket.h"
#include "protocol/device_record.h"

namespace netsonde {

enum class Arrival {
    Record,   // *record holds exactly one 612-byte datagram, whatever it contains
    Nothing,  // nothing queued
    Dropped,  // no reply: another length, too long for the record, or an ICMP error
    Failed,   // any other receive error: receiving stops
};

// Reads at most one datagram from the socket into *record.
Arrival ReceiveRecord(DatagramSocket& socket, DeviceRecord* record);

}  // namespace netsonde
