// The discovery exchange on several adapters at once, over fake sockets that share one fake
// clock: every socket sends in the same three windows, replies are handed over with the adapter
// that heard them, and an adapter that cannot bind leaves the others working.
#include "protocol/multi_exchange.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace netsonde {
namespace {

class SharedClock : public ExchangeClock {
  public:
    std::time_t Now() override { return second; }
    int MillisecondsToNextSecond() override { return 400; }
    std::time_t second = 5000;
};

struct World {
    SharedClock clock;
    std::map<std::string, std::map<int, std::vector<DeviceRecord>>> replies;  // per address, window
    std::vector<std::string> unbindable;
    // Per address: receive errors reported before the first window's replies, between them.
    std::map<std::string, std::vector<ReceiveStatus>> errorsFirst;
    std::vector<std::string> log;  // "send ADDR@second", "close ADDR"
    int cancelAfterSends = -1;
};

class FakeSocket : public DatagramSocket {
  public:
    explicit FakeSocket(World& world) : world_(world) {}
    bool Open() override { return true; }
    bool Bind(const std::string& address) override {
        address_ = address;
        for (const std::string& bad : world_.unbindable) {
            if (bad == address)
                return false;
        }
        return true;
    }
    void SetOptions() override {}
    void SendBroadcast(const std::uint8_t*, std::size_t size) override {
        EXPECT_EQ(size, kRecordSize);
        world_.log.push_back("send " + address_ + "@" + std::to_string(world_.clock.second));
        const auto& mine = world_.replies[address_][sends_];
        for (const DeviceRecord& reply : mine) {
            if (sends_ == 0) {
                for (const ReceiveStatus error : world_.errorsFirst[address_]) {
                    queue_.push_back({error, DeviceRecord()});
                }
            }
            queue_.push_back({ReceiveStatus::Datagram, reply});
        }
        ++sends_;
    }
    ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) override {
        ReceiveResult result;
        if (queue_.empty())
            return result;
        std::copy_n(queue_.front().record.data(), std::min(capacity, kRecordSize), buffer);
        result.status = queue_.front().status;
        result.bytes = result.status == ReceiveStatus::Datagram ? kRecordSize : 0;
        queue_.pop_front();
        return result;
    }
    // Every wait on an empty segment lets the second run out: the fakes share one clock.
    void WaitReadable(int) override { ++world_.clock.second; }
    void Close() override { world_.log.push_back("close " + address_); }

  private:
    World& world_;
    std::string address_;
    struct Queued {
        ReceiveStatus status;
        DeviceRecord record;
    };
    std::deque<Queued> queue_;
    int sends_ = 0;
};

DeviceRecord Reply(std::uint8_t tag) {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(kDiscoveryReply);
    record.setMac({2, 0, 0, 0, 0, tag});
    return record;
}

struct Heard {
    std::size_t adapter;
    std::uint8_t tag;
};

MultiExchangeOutcome RunExchange(World& world, const std::vector<std::string>& addresses,
                                 std::vector<Heard>* heard) {
    ExchangeIo io;
    io.openSocket = [&world] { return std::make_unique<FakeSocket>(world); };
    io.clock = &world.clock;
    int sends = 0;
    return MultiBroadcastExchange(
        BuildDiscoveryRequest(), addresses,
        [heard](std::size_t adapter, const DeviceRecord& reply) {
            heard->push_back({adapter, reply.mac()[5]});
        },
        io,
        [&] {
            sends = static_cast<int>(world.log.size());
            return world.cancelAfterSends >= 0 && sends >= world.cancelAfterSends;
        });
}

TEST(MultiExchangeTest, EveryAdapterSendsThreeTimesInTheSameWindowsAndRepliesNameTheirAdapter) {
    World world;
    world.replies["198.18.0.1"][0] = {Reply(1), Reply(3)};
    world.replies["198.18.1.1"][1] = {Reply(2), Reply(3)};
    world.unbindable = {"198.18.9.9"};
    std::vector<Heard> heard;
    const MultiExchangeOutcome outcome =
        RunExchange(world, {"198.18.0.1", "198.18.9.9", "198.18.1.1"}, &heard);

    EXPECT_EQ(outcome.started, (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(outcome.cancelled);
    const std::vector<std::string> expected = {"send 198.18.0.1@5000", "send 198.18.1.1@5000",
                                               "send 198.18.0.1@5001", "send 198.18.1.1@5001",
                                               "send 198.18.0.1@5002", "send 198.18.1.1@5002",
                                               "close 198.18.0.1",     "close 198.18.1.1"};
    // The unbindable socket is closed at once and sends nothing.
    ASSERT_EQ(world.log.front(), "close 198.18.9.9");
    EXPECT_EQ(std::vector<std::string>(world.log.begin() + 1, world.log.end()), expected);
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].adapter, 0u);
    EXPECT_EQ(heard[0].tag, 1);
    EXPECT_EQ(heard[2].adapter, 2u) << "indices name the address list, the failed one included";
    EXPECT_EQ(heard[3].tag, 3);
}

// A long datagram or an ICMP reset is dropped and its adapter goes on listening; any other
// receive error stops that adapter alone, and is reported.
TEST(MultiExchangeTest, StrayErrorsAreDroppedAndOtherErrorsStopOneAdapter) {
    struct Case {
        ReceiveStatus error;
        bool stops;
    };
    for (const Case c :
         {Case{ReceiveStatus::MessageTooLong, false}, Case{ReceiveStatus::ConnectionReset, false},
          Case{ReceiveStatus::Failed, true}}) {
        SCOPED_TRACE(static_cast<int>(c.error));
        World world;
        world.replies["198.18.0.1"][0] = {Reply(1), Reply(2)};
        world.replies["198.18.0.1"][1] = {Reply(3)};
        world.replies["198.18.1.1"][0] = {Reply(4)};
        world.errorsFirst["198.18.0.1"] = {c.error};
        std::vector<Heard> heard;
        const MultiExchangeOutcome outcome =
            RunExchange(world, {"198.18.0.1", "198.18.1.1"}, &heard);

        std::vector<int> tags;
        for (const Heard& h : heard) {
            tags.push_back(h.tag);
        }
        EXPECT_EQ(tags, (c.stops ? std::vector<int>{4} : std::vector<int>{1, 2, 4, 3}));
        EXPECT_EQ(outcome.receiveError[0] != nullptr, c.stops);
        EXPECT_EQ(outcome.receiveError[1], nullptr);
    }
}

TEST(MultiExchangeTest, CancellationStopsSendingAndClosesEverySocket) {
    World world;
    world.cancelAfterSends = 2;  // after the first window's two sends
    std::vector<Heard> heard;
    const MultiExchangeOutcome outcome = RunExchange(world, {"198.18.0.1", "198.18.1.1"}, &heard);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(world.log, (std::vector<std::string>{"send 198.18.0.1@5000", "send 198.18.1.1@5000",
                                                   "close 198.18.0.1", "close 198.18.1.1"}));
}

}  // namespace
}  // namespace netsonde
