// The simulated devices' behaviour, apart from any socket: what every device sends in answer to
// one received datagram, and how an accepted set request changes its record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/devsim/scenario.h"

namespace devsim {

struct Outgoing {
    std::vector<std::uint8_t> bytes;
    ReplyTo destination = ReplyTo::Sender;  // the sender, or 255.255.255.255 at its port
    int delayMilliseconds = 0;              // after the request arrived
};

class DeviceFleet {
  public:
    DeviceFleet(std::vector<DeviceSetup> devices, std::uint32_t seed);

    // What the devices send in answer to one datagram, in device order; a device's datagrams
    // keep their order. Only 612-byte requests with marker 0xAB are answered: opcode 1 by every
    // device whose discovery behaviour allows it, opcode 3 by the devices with the request's MAC.
    // A device limited to some interfaces answers only requests that arrived on one of them;
    // an empty arrivedOn (not known) reaches every device.
    std::vector<Outgoing> Answer(const std::uint8_t* data, std::size_t size,
                                 std::string_view arrivedOn = {});

    std::size_t size() const { return devices_.size(); }
    const DeviceSetup& device(std::size_t index) const { return devices_[index]; }

  private:
    void AnswerDiscovery(std::string_view arrivedOn, std::vector<Outgoing>* out);
    void AnswerSet(const netsonde::DeviceRecord& request, std::string_view arrivedOn,
                   std::vector<Outgoing>* out);
    // Adds the device's answers, arranged with its strays when they apply, all with one delay.
    void Emit(std::size_t index, const std::vector<netsonde::DeviceRecord>& answers,
              bool withStrays, std::vector<Outgoing>* out);
    int DelayOf(const DeviceSetup& setup);

    std::vector<DeviceSetup> devices_;
    std::vector<int> discoveryAnswered_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> byMac_;
    std::mt19937 random_;
};

// The device's record as it sends it: its stored bytes with its own marker and the opcode.
netsonde::DeviceRecord ReplyRecord(const DeviceSetup& setup, std::uint8_t opcode);

// The refusal of a set request: opcode from the device's reject opcode, its ErrorMask in bytes 2-3.
netsonde::DeviceRecord RejectRecord(const DeviceSetup& setup);

// The bytes of one stray datagram, made from the device's discovery reply.
std::vector<std::uint8_t> StrayBytes(const DeviceSetup& setup, const Stray& stray);

}  // namespace devsim
