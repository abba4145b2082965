// Window title, texts and control ids of the driver's test window (driver_fixture.exe), shared
// by the fixture and the test that drives it.
#pragma once

namespace nsdriver::fixture {

constexpr const char kTitle[] = "Driver Fixture";
constexpr const char kBoxTitle[] = "Fixture Box";
constexpr const char kBoxText[] = "First line\r\nsecond line";
constexpr int kEditLimit = 5;
constexpr int kExitCode = 7;
constexpr int kMinTrackWidth = 400;
constexpr int kMinTrackHeight = 250;

constexpr int kList = 10;
constexpr int kCombo = 11;
constexpr int kEdit = 12;
constexpr int kShowBox = 13;
constexpr int kCheck = 14;
constexpr int kEvents = 15;
constexpr int kQuit = 16;

}  // namespace nsdriver::fixture
