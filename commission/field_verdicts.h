// What a change can truthfully say of each field it carries once the device was heard again:
// verified (a flagged field the device shows as requested), not verifiable (the password, which
// no device reports back, and the name, which the request carries unflagged), not seen (a
// flagged field the device does not show as requested), or a password that went out unflagged.
#pragma once

#include <string>
#include <vector>

#include "commission/change_plan.h"

namespace netsonde::commission {

enum class Verdict { Verified, NotVerifiable, NotSeen, NotFlagged };

struct FieldVerdict {
    std::string key;     // scan key: "ip", "mask", ..., "password", "name"
    std::string before;  // stored value (none for the password)
    std::string after;   // requested value (none for the password)
    std::string seen;    // the value the device showed last, when heard again
    Verdict verdict = Verdict::NotSeen;
    bool heard = false;  // the device was heard again
};

// The text said when a password was given for a device that reports none stored: the request
// then leaves its bit clear, as the Change dialog does.
extern const char* const kPasswordNotFlagged;

// Every field the request flags (mask bit order), then the name when it was asked for or
// differs, and a given password that could not be flagged. `seen` is the device's record as
// last heard, or nullptr when it was not heard again.
std::vector<FieldVerdict> JudgeFields(const DeviceRecord& stored, const DeviceRecord& request,
                                      const ChangeOptions& asked, const DeviceRecord* seen);

// True when every field is verified or not verifiable: only then is the change done.
bool Confirmed(const std::vector<FieldVerdict>& verdicts);

// "verified", "not verifiable", "not seen" or kPasswordNotFlagged.
const char* VerdictText(Verdict verdict);

// The fields by verdict for a report's detail: "not verifiable: password name; not seen: ip".
std::string VerdictSummary(const std::vector<FieldVerdict>& verdicts);

}  // namespace netsonde::commission
