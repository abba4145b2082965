// Writing the simulator's wire log.
#include "tools/devsim/datagram_log.h"

#include <chrono>
#include <ctime>

namespace devsim {
namespace {

std::int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string FormatLogTime(std::int64_t millisecondsSinceEpoch) {
    const std::time_t seconds = static_cast<std::time_t>(millisecondsSinceEpoch / 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millisecondsSinceEpoch % 1000));
    return text;
}

std::string FormatLogLine(std::int64_t millisecondsSinceEpoch, const std::string& peer,
                          const std::uint8_t* data, std::size_t size) {
    static const char kHex[] = "0123456789abcdef";
    std::string line = FormatLogTime(millisecondsSinceEpoch);
    line += ' ';
    line += peer;
    line += ' ';
    line += std::to_string(size);
    line += ' ';
    if (size == 0) {
        line += '-';
    }
    for (std::size_t i = 0; i < size; ++i) {
        line += kHex[data[i] >> 4];
        line += kHex[data[i] & 0x0F];
    }
    return line;
}

DatagramLog::~DatagramLog() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool DatagramLog::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void DatagramLog::Received(const std::string& sender, const std::uint8_t* data, std::size_t size) {
    Write(FormatLogLine(NowMilliseconds(), sender, data, size));
}

void DatagramLog::Sent(const std::string& destination, const std::uint8_t* data, std::size_t size) {
    Write(FormatLogLine(NowMilliseconds(), "> " + destination, data, size));
}

void DatagramLog::Write(const std::string& line) {
    if (file_ == nullptr) {
        return;
    }
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace devsim
