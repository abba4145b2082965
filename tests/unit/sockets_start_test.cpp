// Starting Windows Sockets: exactly version 1.1 is accepted, a wrong version is undone, and a
// success is never repeated. The platform calls are replaced by a recording fake.
#include "app/sockets_start.h"

#include <gtest/gtest.h>

namespace netsonde {
namespace {

struct FakeWinsock {
    int error = 0;
    std::uint16_t granted = kSocketsVersion11;
    int startups = 0;
    int cleanups = 0;
    std::uint16_t lastRequested = 0;
};
FakeWinsock fake;

int FakeStartup(std::uint16_t requested, std::uint16_t* granted) {
    ++fake.startups;
    fake.lastRequested = requested;
    *granted = fake.granted;
    return fake.error;
}
void FakeCleanup() {
    ++fake.cleanups;
}
constexpr SocketsStartCalls kFake{&FakeStartup, &FakeCleanup};

TEST(SocketsStartOnce, AcceptsOnlyVersionOneOne) {
    struct Case {
        const char* what;
        int error;
        std::uint16_t granted;
        bool started;
        int cleanups;  // a granted start of the wrong version is undone; a failed one is not
    };
    const Case cases[] = {
        {"1.1 granted", 0, 0x0101, true, 0},
        {"startup error", 10091 /* WSASYSNOTREADY */, 0x0101, false, 0},
        {"1.0 granted", 0, 0x0001, false, 1},
        {"2.2 granted", 0, 0x0202, false, 1},
        {"1.2 granted", 0, 0x0201, false, 1},
        {"2.1 granted", 0, 0x0102, false, 1},
    };
    for (const Case& c : cases) {
        fake = FakeWinsock{c.error, c.granted};
        SocketsStartOnce sockets;
        EXPECT_EQ(sockets.Start(kFake), c.started) << c.what;
        EXPECT_EQ(sockets.started(), c.started) << c.what;
        EXPECT_EQ(fake.lastRequested, 0x0101) << c.what;
        EXPECT_EQ(fake.startups, 1) << c.what;
        EXPECT_EQ(fake.cleanups, c.cleanups) << c.what;
    }
}

TEST(SocketsStartOnce, SecondStartAfterSuccessDoesNotStartAgain) {
    fake = FakeWinsock{};
    SocketsStartOnce sockets;
    ASSERT_TRUE(sockets.Start(kFake));
    fake.error = 10091;  // a second WSAStartup would now fail: it must not be called
    EXPECT_TRUE(sockets.Start(kFake));
    EXPECT_EQ(fake.startups, 1);
}

TEST(SocketsStartOnce, FailedStartIsRetried) {
    fake = FakeWinsock{0, 0x0202};
    SocketsStartOnce sockets;
    ASSERT_FALSE(sockets.Start(kFake));
    fake.granted = 0x0101;
    EXPECT_TRUE(sockets.Start(kFake));
    EXPECT_EQ(fake.startups, 2);
}

TEST(SocketsStartOnce, StopUndoesOnlyASuccessfulStartAndOnlyOnce) {
    fake = FakeWinsock{10091, 0x0101};
    SocketsStartOnce sockets;
    sockets.Start(kFake);
    sockets.Stop(kFake);
    EXPECT_EQ(fake.cleanups, 0);

    fake = FakeWinsock{};
    ASSERT_TRUE(sockets.Start(kFake));
    sockets.Stop(kFake);
    sockets.Stop(kFake);
    EXPECT_EQ(fake.cleanups, 1);
    EXPECT_TRUE(sockets.Start(kFake));  // stopped sockets start afresh
    EXPECT_EQ(fake.startups, 2);
}

}  // namespace
}  // namespace netsonde
