// The simulator's wire log: one line per datagram, flushed at once, so a test can read exactly
// what reached the simulated devices even while the simulator still runs.
//   2026-12-08T14:50:01.123Z 198.18.0.1:40000 612 ab0100...
// Fields: UTC wall-clock time with milliseconds, sender address:port, length, the bytes in
// lowercase hex ("-" for an empty datagram). Sent datagrams, when logged, have "> " before the
// destination instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace devsim {

// "YYYY-MM-DDTHH:MM:SS.mmmZ" for a time in milliseconds since the epoch.
std::string FormatLogTime(std::int64_t millisecondsSinceEpoch);

// One log line, without its newline.
std::string FormatLogLine(std::int64_t millisecondsSinceEpoch, const std::string& peer,
                          const std::uint8_t* data, std::size_t size);

class DatagramLog {
  public:
    DatagramLog() = default;
    ~DatagramLog();
    DatagramLog(const DatagramLog&) = delete;
    DatagramLog& operator=(const DatagramLog&) = delete;

    // Creates (truncates) the file; false when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Received(const std::string& sender, const std::uint8_t* data, std::size_t size);
    void Sent(const std::string& destination, const std::uint8_t* data, std::size_t size);

  private:
    void Write(const std::string& line);
    std::FILE* file_ = nullptr;
};

}  // namespace devsim
