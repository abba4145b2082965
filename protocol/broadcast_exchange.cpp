// Placeholder until the exchange lands: never starts.
#include "protocol/broadcast_exchange.h"

namespace netsonde {

ExchangeIo PlatformExchangeIo(ErrorNotifier notify) {
    ExchangeIo io;
    io.notify = std::move(notify);
    return io;
}

ExchangeOutcome BroadcastExchange(const DeviceRecord&, const std::string&, const ReplyHandler&,
                                  const ExchangeIo&) {
    return {};
}

ExchangeOutcome BroadcastExchange(const DeviceRecord&, const std::string&, DeviceRecord*,
                                  const ExchangeIo&) {
    return {};
}

}  // namespace netsonde
