// A command-line driver of one broadcast exchange, for the network lab: it runs the product's
// exchange code over the platform's socket back-end (POSIX natively, Winsock in
// exchange_probe.exe) and prints what the exchange did in lines that tests can compare exactly:
//
//   reply N LENGTH MARKER OPCODE MAC DIGEST   one per datagram handed over (discovery mode)
//   notify MESSAGE                            the socket error message, when one is shown
//   copy request|unchanged                    set mode: the working copy afterwards
//   receive-error CODE COUNT                  per platform error code the receives reported
//   result RESULT [ERRORMASK]                 the outcome; the mask comes with Rejected
//
// DIGEST is the 64-bit FNV-1a of the 612 bytes; --hex prints the bytes instead. --align starts
// the exchange just after the turn of a second, so that every receive window lasts a whole second
// and a test can count replies exactly. --timing profiles the receive path instead of printing
// replies: on stderr, how many receive calls of each outcome, waits and handed-over datagrams
// there were and the microseconds they took in all.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "protocol/broadcast_exchange.h"
#include "protocol/platform_socket.h"

#include "tools/hex_digit.h"
#include "tools/exchange_probe/probe_platform.h"

namespace netsonde {
namespace {

const char kUsage[] =
    "usage: exchange_probe --bind ADDRESS|'' --mode discover|set\n"
    "                      [--request-file FILE | --set-mac MAC [--set-mask N] [--set-name NAME]]\n"
    "                      [--hex] [--align] [--timing]\n";

struct Options {
    bool bindGiven = false;
    std::string bind;
    std::string mode;
    std::string requestFile;
    std::string setMac;
    unsigned long setMask = mask::kUnknown1 | mask::kUnknown3;
    bool setNameGiven = false;
    std::string setName;
    bool hex = false;
    bool align = false;
    bool timing = false;
};

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--hex" || name == "--align" || name == "--timing") {
            (name == "--hex"     ? options->hex
             : name == "--align" ? options->align
                                 : options->timing) = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = name + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (name == "--bind") {
            options->bindGiven = true;
            options->bind = value;
        } else if (name == "--mode") {
            options->mode = value;
        } else if (name == "--request-file") {
            options->requestFile = value;
        } else if (name == "--set-mac") {
            options->setMac = value;
        } else if (name == "--set-mask") {
            char* end = nullptr;
            options->setMask = std::strtoul(value.c_str(), &end, 0);
            if (value.empty() || *end != '\0' || options->setMask > 0xFFFF) {
                *error = "--set-mask takes a 16-bit number";
                return false;
            }
        } else if (name == "--set-name") {
            options->setNameGiven = true;
            options->setName = value;
        } else {
            *error = "unknown option " + name;
            return false;
        }
    }
    if (!options->bindGiven) {
        *error = "--bind is required (an empty text binds to any address)";
        return false;
    }
    if (options->mode != "discover" && options->mode != "set") {
        *error = "--mode takes discover or set";
        return false;
    }
    if (!options->requestFile.empty() && !options->setMac.empty()) {
        *error = "--request-file and --set-mac exclude each other";
        return false;
    }
    return true;
}

// Six pairs of hexadecimal digits separated by '-' or ':'.
bool ParseMac(const std::string& text, MacBytes* mac) {
    if (text.size() != 17) {
        return false;
    }
    for (std::size_t i = 0; i < mac->size(); ++i) {
        const int high = HexDigit(text[i * 3]);
        const int low = HexDigit(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != '-' && text[i * 3 + 2] != ':')) {
            return false;
        }
        (*mac)[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

bool ReadRequestFile(const std::string& path, DeviceRecord* request, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes(kRecordSize + 1);
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (!DeviceRecord::FromDatagram(bytes.data(), read, request)) {
        *error = path + " does not hold exactly 612 bytes";
        return false;
    }
    return true;
}

bool BuildRequest(const Options& options, DeviceRecord* request, std::string* error) {
    if (!options.requestFile.empty()) {
        return ReadRequestFile(options.requestFile, request, error);
    }
    if (options.mode == "discover") {
        *request = BuildDiscoveryRequest();
        return true;
    }
    MacBytes mac{};
    if (!ParseMac(options.setMac, &mac)) {
        *error = "set mode needs --request-file or --set-mac with a MAC like 00-11-22-33-44-55";
        return false;
    }
    *request = DeviceRecord();
    request->setMarker(kRequestMarker);
    request->setOpcode(kSetRequest);
    request->setFieldMask(static_cast<std::uint16_t>(options.setMask));
    request->setMac(mac);
    if (options.setNameGiven) {
        request->writeSystemName(options.setName);
    }
    return true;
}

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::uint64_t Fnv1a64(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001b3ULL;
    }
    return hash;
}

void PrintReply(int index, const DeviceRecord& reply, bool hex) {
    const MacBytes mac = reply.mac();
    char macText[18];
    std::snprintf(macText, sizeof macText, "%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    std::string body;
    if (hex) {
        body = Hex(reply.data(), reply.size());
    } else {
        char digest[17];
        std::snprintf(digest, sizeof digest, "%016llx",
                      static_cast<unsigned long long>(Fnv1a64(reply.data(), reply.size())));
        body = digest;
    }
    std::printf("reply %d %u %02x %02x %s %s\n", index, static_cast<unsigned>(reply.size()),
                reply.marker(), reply.opcode(), macText, body.c_str());
    std::fflush(stdout);
}

// Sleeps until 50 ms past the next turn of the calendar second.
void AlignToSecond() {
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const auto intoSecond = duration_cast<milliseconds>(now) % seconds(1);
    std::this_thread::sleep_for(seconds(1) - intoSecond + milliseconds(50));
}

// Calls and microseconds spent in one kind of step of the receive path.
struct StepTime {
    long long calls = 0;
    long long microseconds = 0;
};

class StepTimer {
  public:
    explicit StepTimer(StepTime* step) : step_(step), started_(std::chrono::steady_clock::now()) {}
    ~StepTimer() {
        ++step_->calls;
        step_->microseconds += std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now() - started_)
                                   .count();
    }

  private:
    StepTime* step_;
    std::chrono::steady_clock::time_point started_;
};

struct ReceiveProfile {
    StepTime datagram, wouldBlock, other, wait, handler;
    std::map<int, int> errorCodes;
    void Print() const {
        const auto line = [](const char* name, const StepTime& step) {
            std::fprintf(stderr, "timing %-12s calls %8lld  us %9lld  us/call %7.2f\n", name,
                         step.calls, step.microseconds,
                         step.calls ? double(step.microseconds) / double(step.calls) : 0.0);
        };
        line("recv-data", datagram);
        line("recv-empty", wouldBlock);
        line("recv-error", other);
        line("wait", wait);
        line("handler", handler);
    }
};

// The platform socket with the time of each receive and wait added to a profile.
class TimedSocket : public DatagramSocket {
  public:
    TimedSocket(std::unique_ptr<DatagramSocket> inner, ReceiveProfile* profile)
        : inner_(std::move(inner)), profile_(profile) {}
    bool Open() override { return inner_->Open(); }
    bool Bind(const std::string& localAddress) override { return inner_->Bind(localAddress); }
    void SetOptions() override { inner_->SetOptions(); }
    void SendBroadcast(const std::uint8_t* data, std::size_t size) override {
        inner_->SendBroadcast(data, size);
    }
    ReceiveResult Receive(std::uint8_t* buffer, std::size_t capacity) override {
        const auto started = std::chrono::steady_clock::now();
        const ReceiveResult result = inner_->Receive(buffer, capacity);
        StepTime& step = result.status == ReceiveStatus::Datagram     ? profile_->datagram
                         : result.status == ReceiveStatus::WouldBlock ? profile_->wouldBlock
                                                                      : profile_->other;
        if (&step == &profile_->other) {
            ++profile_->errorCodes[result.errorCode];
        }
        ++step.calls;
        step.microseconds += std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        return result;
    }
    void WaitReadable(int timeoutMilliseconds) override {
        StepTimer timer(&profile_->wait);
        inner_->WaitReadable(timeoutMilliseconds);
    }
    void Close() override { inner_->Close(); }

  private:
    std::unique_ptr<DatagramSocket> inner_;
    ReceiveProfile* profile_;
};

const char* ResultName(ExchangeResult result) {
    switch (result) {
        case ExchangeResult::NotStarted:
            return "NotStarted";
        case ExchangeResult::Completed:
            return "Completed";
        case ExchangeResult::Accepted:
            return "Accepted";
        case ExchangeResult::Rejected:
            return "Rejected";
        case ExchangeResult::NoAnswer:
            return "NoAnswer";
    }
    return "?";
}

int Run(int argc, char** argv) {
    Options options;
    std::string error;
    DeviceRecord request;
    if (!ParseOptions(argc, argv, &options, &error) || !BuildRequest(options, &request, &error)) {
        std::fprintf(stderr, "exchange_probe: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (!PrepareProbePlatform(&error)) {
        std::fprintf(stderr, "exchange_probe: refusing to send: %s\n", error.c_str());
        return 3;
    }

    ExchangeIo io = PlatformExchangeIo([](const char* message) {
        std::printf("notify %s\n", message);
        std::fflush(stdout);
    });
    ReceiveProfile profile;
    io.openSocket = [&profile] {
        return std::unique_ptr<DatagramSocket>(
            std::make_unique<TimedSocket>(MakePlatformSocket(), &profile));
    };
    if (options.align) {
        AlignToSecond();
    }
    const auto started = std::chrono::steady_clock::now();
    ExchangeOutcome outcome;
    int index = 0;
    if (options.mode == "discover") {
        outcome = BroadcastExchange(
            request, options.bind,
            [&](const DeviceRecord& reply) {
                if (options.timing) {
                    // The product's own check of each datagram, without the printing.
                    StepTimer timer(&profile.handler);
                    index += IsDiscoveryReply(reply) ? 1 : 0;
                } else {
                    PrintReply(++index, reply, options.hex);
                }
            },
            io);
    } else {
        DeviceRecord workingCopy;
        workingCopy.setOpcode(kDiscoveryReply);
        const DeviceRecord before = workingCopy;
        outcome = BroadcastExchange(request, options.bind, &workingCopy, io);
        std::printf("copy %s\n", workingCopy == request  ? "request"
                                 : workingCopy == before ? "unchanged"
                                                         : "other");
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    for (const auto& [code, count] : profile.errorCodes) {
        std::printf("receive-error %d %d\n", code, count);
    }
    if (outcome.result == ExchangeResult::Rejected) {
        std::printf("result Rejected %u\n", static_cast<unsigned>(outcome.errorMask));
    } else {
        std::printf("result %s\n", ResultName(outcome.result));
    }
    std::fprintf(stderr, "elapsed_ms %lld\n", static_cast<long long>(elapsed.count()));
    if (options.timing) {
        std::fprintf(stderr, "timing device-replies %d\n", index);
        profile.Print();
    }
    return 0;
}

}  // namespace
}  // namespace netsonde

int main(int argc, char** argv) {
    return netsonde::Run(argc, argv);
}
