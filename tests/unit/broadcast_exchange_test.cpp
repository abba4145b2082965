// Tests of the broadcast exchange over a scripted fake socket and clock: what arrives in each
// receive window (and between windows) is laid out per attempt, and the socket keeps a log of
// every call so the order of operations can be checked.
#include "protocol/broadcast_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace netsonde {
namespace {

// One scripted arrival: a datagram of some length, or a receive error.
struct Arrival {
    ReceiveStatus status = ReceiveStatus::Datagram;
    std::size_t bytes = kRecordSize;
    DeviceRecord content;
};

Arrival Datagram(const DeviceRecord& content, std::size_t bytes = kRecordSize) {
    return {ReceiveStatus::Datagram, bytes, content};
}
Arrival ReceiveError(ReceiveStatus status) {
    return {status, 0, DeviceRecord()};
}

DeviceRecord Tagged(std::uint8_t tag, std::uint8_t opcode = kDiscoveryReply) {
    DeviceRecord record;
    record.setMarker(kRequestMarker);
    record.setOpcode(opcode);
    record.setMac({0x00, 0x11, 0x22, 0x33, 0x44, tag});
    return record;
}

DeviceRecord SetReply(std::uint8_t opcode, std::uint16_t mask = 0,
                      std::uint8_t marker = kRequestMarker) {
    DeviceRecord record;
    record.setMarker(marker);
    record.setOpcode(opcode);
    record.setFieldMask(mask);
    return record;
}

class FakeClock : public ExchangeClock {
  public:
    std::time_t Now() override { return second; }
    int MillisecondsToNextSecond() override { return 400; }
    std::time_t second = 1000;
};

// Everything the fake socket was asked to do, shared with the test after the socket is gone.
struct SocketScript {
    bool openFails = false;
    bool bindFails = false;
    std::map<int, std::vector<Arrival>> duringWindow;  // arrives right after send k (0-based)
    std::map<int, std::vector<Arrival>> afterWindow;   // arrives once window k has closed

    std::vector<std::string> log;
    std::vector<DeviceRecord> sent;
};

class FakeSocket : public DatagramSocket {
  public:
    FakeSocket(SocketScript& script, FakeClock& clock) : script_(script), clock_(clock) {}

    bool Open() override {
        script_.log.push_back("open");
        return !script_.openFails;
    }
    bool Bind(const std::string& localAddress) override {
        script_.log.push_back("bind " + localAddress);
        return !script_.bindFails;
    }
    void SetOptions() override { script_.log.push_back("options"); }
    void SendBroadcast(const std::uint8_t* data, std::size_t size) override {
        script_.log.push_back("send");
        DeviceRecord sent;
        EXPECT_TRUE(DeviceRecord::FromDatagram(data, size, &sent));
        script_.sent.push_back(sent);
        Queue(script_.duringWindow, window_);
    }
    ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) override {
        script_.log.push_back("recv");
        ReceiveResult result;
        if (queue_.empty()) {
            return result;
        }
        const Arrival arrival = queue_.front();
        queue_.pop_front();
        result.status = arrival.status;
        if (arrival.status == ReceiveStatus::Datagram) {
            const std::size_t copied = std::min(arrival.bytes, capacity);
            std::copy_n(arrival.content.data(), std::min(copied, kRecordSize), buffer);
            result.bytes = copied;
        }
        return result;
    }
    // Nothing left in this window: time runs on to the next second.
    void WaitReadable(int) override {
        script_.log.push_back("wait");
        if (queue_.empty()) {
            ++clock_.second;
            Queue(script_.afterWindow, window_);
            ++window_;
        }
    }
    void Close() override { script_.log.push_back("close"); }

  private:
    void Queue(const std::map<int, std::vector<Arrival>>& arrivals, int window) {
        const auto found = arrivals.find(window);
        if (found != arrivals.end()) {
            queue_.insert(queue_.end(), found->second.begin(), found->second.end());
        }
    }

    SocketScript& script_;
    FakeClock& clock_;
    std::deque<Arrival> queue_;
    int window_ = 0;
};

class BroadcastExchangeTest : public ::testing::Test {
  protected:
    ExchangeIo Io() {
        ExchangeIo io;
        io.openSocket = [this] { return std::make_unique<FakeSocket>(script, clock); };
        io.clock = &clock;
        io.notify = [this](const char* message) { notices.push_back(message); };
        return io;
    }

    ExchangeOutcome Discover(const std::string& address = "198.18.0.1") {
        return BroadcastExchange(
            BuildDiscoveryRequest(), address,
            [this](const DeviceRecord& reply) {
                handed.push_back(reply);
                sendsBeforeHandover.push_back(script.sent.size());
            },
            Io());
    }

    ExchangeOutcome Set() {
        return BroadcastExchange(setRequest, "198.18.0.1", &workingCopy, Io());
    }

    int Count(const std::string& call) const {
        return static_cast<int>(std::count(script.log.begin(), script.log.end(), call));
    }

    SocketScript script;
    FakeClock clock;
    std::vector<std::string> notices;
    std::vector<DeviceRecord> handed;
    std::vector<std::size_t> sendsBeforeHandover;
    DeviceRecord setRequest = Tagged(7, kSetRequest);
    DeviceRecord workingCopy = Tagged(7, kDiscoveryReply);
};

TEST_F(BroadcastExchangeTest, SilentSegmentRunsThreeIdenticalAttemptsInOrder) {
    EXPECT_EQ(Discover("").result, ExchangeResult::Completed);
    const std::vector<std::string> expected = {"open", "bind ", "options", "send", "recv",
                                               "wait", "send",  "recv",    "wait", "send",
                                               "recv", "wait",  "close"};
    EXPECT_EQ(script.log, expected);
    ASSERT_EQ(script.sent.size(), 3u);
    for (const DeviceRecord& sent : script.sent) {
        EXPECT_EQ(sent, BuildDiscoveryRequest());
    }
    EXPECT_TRUE(handed.empty());
    EXPECT_TRUE(notices.empty());
}

TEST_F(BroadcastExchangeTest, FailureToOpenOrBindSendsNothing) {
    struct Case {
        bool openFails, bindFails;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        script = SocketScript();
        script.openFails = c.openFails;
        script.bindFails = c.bindFails;
        EXPECT_EQ(Discover("not-an-address").result, ExchangeResult::NotStarted);
        EXPECT_EQ(Set().result, ExchangeResult::NotStarted);
        EXPECT_EQ(Count("send"), 0);
        EXPECT_EQ(Count("options"), 0);
        EXPECT_EQ(Count("close"), 2) << "the socket is closed on the failure path";
        EXPECT_EQ(script.log.back(), "close");
    }
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(workingCopy, Tagged(7, kDiscoveryReply));
}

TEST_F(BroadcastExchangeTest, WholeRecordsAreHandedOverInArrivalOrderAndOthersDropped) {
    script.duringWindow[0] = {Datagram(Tagged(1)), Datagram(Tagged(9), 611), Datagram(Tagged(2)),
                              Datagram(Tagged(9), 0)};
    script.duringWindow[1] = {Datagram(Tagged(1)), Datagram(Tagged(3, 0x77))};
    script.duringWindow[2] = {Datagram(Tagged(9), 1), Datagram(Tagged(4))};

    EXPECT_EQ(Discover().result, ExchangeResult::Completed);
    // Every whole datagram is handed over, whatever it holds; duplicates included.
    const std::vector<DeviceRecord> expected = {Tagged(1), Tagged(2), Tagged(1), Tagged(3, 0x77),
                                                Tagged(4)};
    EXPECT_EQ(handed, expected);
    EXPECT_TRUE(notices.empty());
}

TEST_F(BroadcastExchangeTest, ReplyQueuedBetweenWindowsIsReadAfterTheNextSend) {
    script.afterWindow[0] = {Datagram(Tagged(5))};
    script.afterWindow[2] = {Datagram(Tagged(6))};  // after the last window: never read

    Discover();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], Tagged(5));
    EXPECT_EQ(sendsBeforeHandover[0], 2u);
    EXPECT_EQ(Count("send"), 3);
}

TEST_F(BroadcastExchangeTest, ReceiveErrorStopsReceivingButNotSending) {
    struct Case {
        const char* name;
        ReceiveStatus error;
        bool setMode;
        bool acceptFirst;
        ExchangeResult result;
        const char* message;
    };
    const Case cases[] = {
        {"other error, discovery", ReceiveStatus::Failed, false, false, ExchangeResult::Completed,
         "Socket Connection Error"},
        {"other error, set", ReceiveStatus::Failed, true, false, ExchangeResult::NoAnswer,
         "Error connecting to device"},
        {"error after acceptance", ReceiveStatus::Failed, true, true, ExchangeResult::Accepted,
         "Error connecting to device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        script = SocketScript();
        notices.clear();
        handed.clear();
        script.duringWindow[0] = {ReceiveError(c.error), Datagram(Tagged(1))};
        if (c.acceptFirst) {
            script.duringWindow[0].insert(script.duringWindow[0].begin(),
                                          Datagram(SetReply(kSetAccepted)));
        }
        script.duringWindow[1] = {Datagram(Tagged(2)), ReceiveError(c.error)};
        script.duringWindow[2] = {Datagram(Tagged(3))};

        const ExchangeOutcome outcome = c.setMode ? Set() : Discover();
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(notices, std::vector<std::string>{c.message});
        EXPECT_TRUE(handed.empty());
        // After acceptance no further attempt is made; otherwise all three still send.
        EXPECT_EQ(Count("send"), c.acceptFirst ? 1 : 3);
        EXPECT_EQ(Count("recv"), c.acceptFirst ? 2 : 1);
        EXPECT_EQ(script.log.back(), "close");
    }
}

// A datagram too long for the record, or an ICMP error about an earlier send, can come from any
// host: it is dropped like a short datagram, and the replies around it still count.
TEST_F(BroadcastExchangeTest, LongDatagramsAndResetsAreDroppedAndReceivingGoesOn) {
    for (const ReceiveStatus stray :
         {ReceiveStatus::MessageTooLong, ReceiveStatus::ConnectionReset}) {
        for (const bool setMode : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(stray)) +
                         (setMode ? " set" : " discovery"));
            script = SocketScript();
            notices.clear();
            handed.clear();
            workingCopy = Tagged(7, kDiscoveryReply);
            const Arrival second = setMode ? Datagram(SetReply(kSetAccepted)) : Datagram(Tagged(2));
            script.duringWindow[0] = {ReceiveError(stray),
                                      Datagram(Tagged(1), 611),
                                      ReceiveError(stray),
                                      ReceiveError(stray),
                                      second,
                                      ReceiveError(stray)};
            script.afterWindow[0] = {ReceiveError(stray)};
            script.duringWindow[1] = {Datagram(Tagged(3)), ReceiveError(stray)};

            const ExchangeOutcome outcome = setMode ? Set() : Discover();
            EXPECT_TRUE(notices.empty());
            if (setMode) {
                EXPECT_EQ(outcome.result, ExchangeResult::Accepted);
                EXPECT_EQ(workingCopy, setRequest);
                EXPECT_EQ(Count("send"), 1);
            } else {
                EXPECT_EQ(outcome.result, ExchangeResult::Completed);
                EXPECT_EQ(handed, (std::vector<DeviceRecord>{Tagged(2), Tagged(3)}));
                EXPECT_EQ(Count("send"), 3);
            }
            // Each window still ends with its second, not at a stray.
            EXPECT_EQ(Count("wait"), setMode ? 1 : 3);
        }
    }
}

TEST_F(BroadcastExchangeTest, SetModeJudgesReplies) {
    struct Case {
        const char* name;
        std::map<int, std::vector<Arrival>> windows;
        ExchangeResult result;
        std::uint16_t errorMask;
        bool copyReplaced;
        int sends;
    };
    const DeviceRecord accept = SetReply(kSetAccepted);
    const DeviceRecord acceptAlternate = SetReply(kSetAccepted, 0, kAlternateMarker);
    const DeviceRecord refuse = SetReply(5, mask::kSubnetMask);
    const Case cases[] = {
        {"no answer", {}, ExchangeResult::NoAnswer, 0, false, 3},
        {"accepted first", {{0, {Datagram(accept)}}}, ExchangeResult::Accepted, 0, true, 1},
        {"accepted in the second window",
         {{1, {Datagram(acceptAlternate)}}},
         ExchangeResult::Accepted,
         0,
         true,
         2},
        {"accepted twice",
         {{0, {Datagram(accept), Datagram(accept)}}},
         ExchangeResult::Accepted,
         0,
         true,
         1},
        {"rejected",
         {{0, {Datagram(refuse), Datagram(accept)}}},
         ExchangeResult::Rejected,
         256,
         false,
         1},
        {"accepted then rejected",
         {{0, {Datagram(accept), Datagram(refuse)}}},
         ExchangeResult::Rejected,
         256,
         true,
         1},
        {"unknown marker refuses without a field",
         {{1, {Datagram(SetReply(kSetAccepted, 0x0100, 0x00))}}},
         ExchangeResult::Rejected,
         0,
         false,
         2},
        {"short replies are not judged",
         {{0, {Datagram(refuse, 611), Datagram(accept, 0)}}},
         ExchangeResult::NoAnswer,
         0,
         false,
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        script = SocketScript();
        script.duringWindow = c.windows;
        workingCopy = Tagged(7, kDiscoveryReply);

        const ExchangeOutcome outcome = Set();
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.errorMask, c.errorMask);
        EXPECT_EQ(workingCopy, c.copyReplaced ? setRequest : Tagged(7, kDiscoveryReply));
        EXPECT_EQ(Count("send"), c.sends);
        EXPECT_EQ(script.log.back(), "close");
        EXPECT_TRUE(notices.empty());
    }
}

TEST_F(BroadcastExchangeTest, RefusalClosesAtOnceWithoutReadingFurther) {
    script.duringWindow[0] = {Datagram(SetReply(5, mask::kGateway)), Datagram(Tagged(1))};
    EXPECT_EQ(Set().result, ExchangeResult::Rejected);
    const std::vector<std::string> tail = {"send", "recv", "close"};
    EXPECT_EQ(std::vector<std::string>(script.log.end() - 3, script.log.end()), tail);
}

// A flood of queued datagrams is read ahead of the per-datagram work, a batch at a time, without
// changing what is handed over, its order, or where an error notice falls.
TEST_F(BroadcastExchangeTest, QueuedDatagramsAreReadAheadInOrder) {
    std::vector<DeviceRecord> expected;
    for (int i = 0; i < 600; ++i) {
        script.duringWindow[0].push_back(
            Datagram(Tagged(static_cast<std::uint8_t>(i)), i % 3 ? 612 : 17));
        if (i % 3) {
            expected.push_back(Tagged(static_cast<std::uint8_t>(i)));
        }
    }
    script.duringWindow[1] = {Datagram(Tagged(1)), ReceiveError(ReceiveStatus::Failed)};
    expected.push_back(Tagged(1));
    std::vector<int> receivesBeforeHandover;
    std::size_t noticesBeforeLastHandover = 0;
    BroadcastExchange(
        BuildDiscoveryRequest(), "",
        [&](const DeviceRecord& reply) {
            handed.push_back(reply);
            receivesBeforeHandover.push_back(Count("recv"));
            noticesBeforeLastHandover = notices.size();
        },
        Io());
    EXPECT_EQ(handed, expected);
    // The first batch was read whole before any of it was handed over.
    EXPECT_GT(receivesBeforeHandover.front(), 256);
    EXPECT_EQ(Count("send"), 3);
    EXPECT_EQ(Count("wait"), 1) << "window 0 waits once; window 1 ends on the error";
    EXPECT_EQ(notices, std::vector<std::string>{"Socket Connection Error"});
    EXPECT_EQ(noticesBeforeLastHandover, 0u)
        << "the datagram before the error is handed over before the notice";
}

}  // namespace
}  // namespace netsonde
