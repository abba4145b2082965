// Answers of the simulated devices to discovery and set requests.
#include "tools/devsim/fleet.h"

namespace devsim {
namespace {

using netsonde::DeviceRecord;

std::uint64_t MacKey(const netsonde::MacBytes& mac) {
    std::uint64_t key = 0;
    for (std::uint8_t byte : mac) {
        key = key << 8 | byte;
    }
    return key;
}

std::vector<std::uint8_t> BytesOf(const DeviceRecord& record) {
    return std::vector<std::uint8_t>(record.data(), record.data() + record.size());
}

bool HeardOn(const DeviceSetup& setup, std::string_view arrivedOn) {
    if (setup.interfaces.empty() || arrivedOn.empty()) {
        return true;
    }
    for (const std::string& name : setup.interfaces) {
        if (name == arrivedOn) {
            return true;
        }
    }
    return false;
}

}  // namespace

DeviceRecord ReplyRecord(const DeviceSetup& setup, std::uint8_t opcode) {
    DeviceRecord reply = setup.record;
    reply.setMarker(setup.replyMarker);
    reply.setOpcode(opcode);
    return reply;
}

DeviceRecord RejectRecord(const DeviceSetup& setup) {
    DeviceRecord reply = ReplyRecord(setup, setup.rejectOpcode);
    reply.setFieldMask(setup.errorMask);
    return reply;
}

std::vector<std::uint8_t> StrayBytes(const DeviceSetup& setup, const Stray& stray) {
    DeviceRecord record = ReplyRecord(setup, netsonde::kDiscoveryReply);
    std::vector<std::uint8_t> bytes = BytesOf(record);
    switch (stray.kind) {
        case StrayKind::Short:
            bytes.pop_back();
            break;
        case StrayKind::Long:
            bytes.push_back(0);
            break;
        case StrayKind::Empty:
            bytes.clear();
            break;
        case StrayKind::Marker:
            record.setMarker(stray.value);
            bytes = BytesOf(record);
            break;
        case StrayKind::Opcode:
            record.setOpcode(stray.value);
            bytes = BytesOf(record);
            break;
        case StrayKind::Answer:
            bytes.clear();
            break;
    }
    return bytes;
}

DeviceFleet::DeviceFleet(std::vector<DeviceSetup> devices, std::uint32_t seed)
    : devices_(std::move(devices)), discoveryAnswered_(devices_.size(), 0), random_(seed) {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        byMac_[MacKey(devices_[i].record.mac())].push_back(i);
    }
}

std::vector<Outgoing> DeviceFleet::Answer(const std::uint8_t* data, std::size_t size,
                                          std::string_view arrivedOn) {
    std::vector<Outgoing> out;
    DeviceRecord request;
    if (!DeviceRecord::FromDatagram(data, size, &request) ||
        request.marker() != netsonde::kRequestMarker) {
        return out;
    }
    if (request.opcode() == netsonde::kDiscoveryRequest) {
        AnswerDiscovery(arrivedOn, &out);
    } else if (request.opcode() == netsonde::kSetRequest) {
        AnswerSet(request, arrivedOn, &out);
    }
    return out;
}

void DeviceFleet::AnswerDiscovery(std::string_view arrivedOn, std::vector<Outgoing>* out) {
    out->reserve(devices_.size());
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        const DeviceSetup& setup = devices_[i];
        if (!HeardOn(setup, arrivedOn)) {
            continue;
        }
        const bool answers = setup.discoveryAnswers == kAnswerEvery ||
                             discoveryAnswered_[i] < setup.discoveryAnswers;
        if (answers && setup.discoveryAnswers != kAnswerEvery) {
            ++discoveryAnswered_[i];
        }
        if (setup.strays.empty() || !setup.straysOnDiscovery) {
            // The common case, kept lean for scenarios of thousands of devices.
            if (answers) {
                out->push_back(Outgoing{BytesOf(ReplyRecord(setup, netsonde::kDiscoveryReply)),
                                        setup.replyTo, DelayOf(setup)});
            }
            continue;
        }
        std::vector<DeviceRecord> replies;
        if (answers) {
            replies.push_back(ReplyRecord(setup, netsonde::kDiscoveryReply));
        }
        Emit(i, replies, setup.straysOnDiscovery, out);
    }
}

void DeviceFleet::AnswerSet(const DeviceRecord& request, std::string_view arrivedOn,
                            std::vector<Outgoing>* out) {
    const auto found = byMac_.find(MacKey(request.mac()));
    if (found == byMac_.end()) {
        return;
    }
    for (std::size_t i : found->second) {
        DeviceSetup& setup = devices_[i];
        if (!HeardOn(setup, arrivedOn)) {
            continue;
        }
        std::vector<DeviceRecord> answers;
        switch (setup.setBehaviour) {
            case SetBehaviour::Accept:
                setup.record = request;
                answers.push_back(ReplyRecord(setup, netsonde::kSetAccepted));
                break;
            case SetBehaviour::Reject:
                answers.push_back(RejectRecord(setup));
                break;
            case SetBehaviour::Silent:
                break;
            case SetBehaviour::AcceptThenReject:
                setup.record = request;
                answers.push_back(ReplyRecord(setup, netsonde::kSetAccepted));
                answers.push_back(RejectRecord(setup));
                break;
        }
        Emit(i, answers, setup.straysOnSet, out);
    }
}

void DeviceFleet::Emit(std::size_t index, const std::vector<DeviceRecord>& answers, bool withStrays,
                       std::vector<Outgoing>* out) {
    const DeviceSetup& setup = devices_[index];
    std::vector<std::vector<std::uint8_t>> datagrams;
    bool answersPlaced = false;
    if (withStrays) {
        for (const Stray& stray : setup.strays) {
            if (stray.kind != StrayKind::Answer) {
                datagrams.push_back(StrayBytes(setup, stray));
            } else if (!answersPlaced) {
                for (const DeviceRecord& answer : answers) {
                    datagrams.push_back(BytesOf(answer));
                }
                answersPlaced = true;
            }
        }
    }
    if (!answersPlaced) {
        for (const DeviceRecord& answer : answers) {
            datagrams.push_back(BytesOf(answer));
        }
    }
    if (datagrams.empty()) {
        return;
    }
    const int delay = DelayOf(setup);
    for (auto& bytes : datagrams) {
        out->push_back(Outgoing{std::move(bytes), setup.replyTo, delay});
    }
}

int DeviceFleet::DelayOf(const DeviceSetup& setup) {
    int delay = setup.delayMilliseconds;
    if (setup.jitterMilliseconds > 0) {
        delay += std::uniform_int_distribution<int>(0, setup.jitterMilliseconds)(random_);
    }
    return delay;
}

}  // namespace devsim
