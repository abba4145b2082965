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

}  // namespace

DeviceRecord ReplyRecord(const DeviceSpec& spec, std::uint8_t opcode) {
    DeviceRecord reply = spec.record;
    reply.setMarker(spec.replyMarker);
    reply.setOpcode(opcode);
    return reply;
}

DeviceRecord RejectRecord(const DeviceSpec& spec) {
    DeviceRecord reply = ReplyRecord(spec, spec.rejectOpcode);
    reply.setFieldMask(spec.errorMask);
    return reply;
}

std::vector<std::uint8_t> StrayBytes(const DeviceSpec& spec, const Stray& stray) {
    DeviceRecord record = ReplyRecord(spec, netsonde::kDiscoveryReply);
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

DeviceFleet::DeviceFleet(std::vector<DeviceSpec> devices, std::uint32_t seed)
    : devices_(std::move(devices)), discoveryAnswered_(devices_.size(), 0), random_(seed) {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        byMac_[MacKey(devices_[i].record.mac())].push_back(i);
    }
}

std::vector<Outgoing> DeviceFleet::Answer(const std::uint8_t* data, std::size_t size) {
    std::vector<Outgoing> out;
    DeviceRecord request;
    if (!DeviceRecord::FromDatagram(data, size, &request) ||
        request.marker() != netsonde::kRequestMarker) {
        return out;
    }
    if (request.opcode() == netsonde::kDiscoveryRequest) {
        AnswerDiscovery(&out);
    } else if (request.opcode() == netsonde::kSetRequest) {
        AnswerSet(request, &out);
    }
    return out;
}

void DeviceFleet::AnswerDiscovery(std::vector<Outgoing>* out) {
    out->reserve(devices_.size());
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        const DeviceSpec& spec = devices_[i];
        const bool answers =
            spec.discoveryAnswers == kAnswerEvery || discoveryAnswered_[i] < spec.discoveryAnswers;
        if (answers && spec.discoveryAnswers != kAnswerEvery) {
            ++discoveryAnswered_[i];
        }
        if (spec.strays.empty() || !spec.straysOnDiscovery) {
            // The common case, kept lean for scenarios of thousands of devices.
            if (answers) {
                out->push_back(Outgoing{BytesOf(ReplyRecord(spec, netsonde::kDiscoveryReply)),
                                        spec.replyTo, DelayOf(spec)});
            }
            continue;
        }
        std::vector<DeviceRecord> replies;
        if (answers) {
            replies.push_back(ReplyRecord(spec, netsonde::kDiscoveryReply));
        }
        Emit(i, replies, spec.straysOnDiscovery, out);
    }
}

void DeviceFleet::AnswerSet(const DeviceRecord& request, std::vector<Outgoing>* out) {
    const auto found = byMac_.find(MacKey(request.mac()));
    if (found == byMac_.end()) {
        return;
    }
    for (std::size_t i : found->second) {
        DeviceSpec& spec = devices_[i];
        std::vector<DeviceRecord> answers;
        switch (spec.setBehaviour) {
            case SetBehaviour::Accept:
                spec.record = request;
                answers.push_back(ReplyRecord(spec, netsonde::kSetAccepted));
                break;
            case SetBehaviour::Reject:
                answers.push_back(RejectRecord(spec));
                break;
            case SetBehaviour::Silent:
                break;
            case SetBehaviour::AcceptThenReject:
                spec.record = request;
                answers.push_back(ReplyRecord(spec, netsonde::kSetAccepted));
                answers.push_back(RejectRecord(spec));
                break;
        }
        Emit(i, answers, spec.straysOnSet, out);
    }
}

void DeviceFleet::Emit(std::size_t index, const std::vector<DeviceRecord>& answers, bool withStrays,
                       std::vector<Outgoing>* out) {
    const DeviceSpec& spec = devices_[index];
    std::vector<std::vector<std::uint8_t>> datagrams;
    bool answersPlaced = false;
    if (withStrays) {
        for (const Stray& stray : spec.strays) {
            if (stray.kind != StrayKind::Answer) {
                datagrams.push_back(StrayBytes(spec, stray));
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
    const int delay = DelayOf(spec);
    for (auto& bytes : datagrams) {
        out->push_back(Outgoing{std::move(bytes), spec.replyTo, delay});
    }
}

int DeviceFleet::DelayOf(const DeviceSpec& spec) {
    int delay = spec.delayMilliseconds;
    if (spec.jitterMilliseconds > 0) {
        delay += std::uniform_int_distribution<int>(0, spec.jitterMilliseconds)(random_);
    }
    return delay;
}

}  // namespace devsim
