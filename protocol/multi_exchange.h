// Discovery on several local addresses at once: one socket per address, the same three
// attempts and receive windows as the broadcast exchange, with every socket sending at the start
// of each window and all of them read within it, so a scan takes three windows however many
// adapters take part.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "protocol/broadcast_exchange.h"

namespace netsonde {

// Called with the index (into the address list) of the socket that received the datagram.
using MultiReplyHandler = std::function<void(std::size_t adapter, const DeviceRecord& datagram)>;

struct MultiExchangeOutcome {
    // Per address: whether its socket opened and bound. One that did not sent nothing.
    std::vector<bool> started;
    // Per address: the socket error that stopped its receiving, or nullptr.
    std::vector<const char*> receiveError;
    bool cancelled = false;  // the exchange stopped early because cancelled() said so
};

// Sends the request on every address that could be bound, three times, and hands every 612-byte
// datagram to onReply as it is read. cancelled, when set, is asked between receives and ends the
// exchange early (sockets closed, what was handed over stays handed over). io.notify is not used:
// receive errors are returned per address.
MultiExchangeOutcome MultiBroadcastExchange(const DeviceRecord& request,
                                            const std::vector<std::string>& localAddresses,
                                            const MultiReplyHandler& onReply, const ExchangeIo& io,
                                            const std::function<bool()>& cancelled = {});

}  // namespace netsonde
