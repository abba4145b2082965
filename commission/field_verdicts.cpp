// Field by field, what a verified change can claim; see field_verdicts.h.
#include "commission/field_verdicts.h"

#include <algorithm>

namespace netsonde::commission {

const char* const kPasswordNotFlagged = "password not flagged: the device reports none stored";

std::vector<FieldVerdict> JudgeFields(const DeviceRecord& stored, const DeviceRecord& request,
                                      const ChangeOptions& asked, const DeviceRecord* seen) {
    std::vector<FieldVerdict> verdicts;
    const auto seenText = [&](const std::string& key) {
        return seen == nullptr ? std::string() : FieldText(*seen, key);
    };
    for (const FieldChange& change : RequestedChanges(stored, request)) {
        FieldVerdict verdict{change.key,           change.before,    change.after,
                             seenText(change.key), Verdict::NotSeen, seen != nullptr};
        if (change.key == "password" || change.key == "name") {
            verdict.verdict = Verdict::NotVerifiable;
        } else {
            verdict.verdict = seen != nullptr && verdict.seen == change.after ? Verdict::Verified
                                                                              : Verdict::NotSeen;
        }
        verdicts.push_back(verdict);
    }
    const bool nameListed = std::any_of(verdicts.begin(), verdicts.end(),
                                        [](const FieldVerdict& v) { return v.key == "name"; });
    if (asked.name && !nameListed) {
        verdicts.push_back({"name", FieldText(stored, "name"), FieldText(request, "name"),
                            seenText("name"), Verdict::NotVerifiable, seen != nullptr});
    }
    if (asked.password && (request.fieldMask() & mask::kPassword) == 0) {
        verdicts.push_back({"password", "", "", "", Verdict::NotFlagged, seen != nullptr});
    }
    return verdicts;
}

bool Confirmed(const std::vector<FieldVerdict>& verdicts) {
    return std::all_of(verdicts.begin(), verdicts.end(), [](const FieldVerdict& v) {
        return v.verdict == Verdict::Verified || v.verdict == Verdict::NotVerifiable;
    });
}

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Verified:
            return "verified";
        case Verdict::NotVerifiable:
            return "not verifiable";
        case Verdict::NotSeen:
            return "not seen";
        case Verdict::NotFlagged:
            break;
    }
    return kPasswordNotFlagged;
}

std::string VerdictSummary(const std::vector<FieldVerdict>& verdicts) {
    std::string summary;
    const auto add = [&](const std::string& part) {
        summary += (summary.empty() ? "" : "; ") + part;
    };
    for (Verdict kind : {Verdict::NotSeen, Verdict::NotVerifiable}) {
        std::string keys;
        for (const FieldVerdict& v : verdicts) {
            if (v.verdict == kind) {
                keys += (keys.empty() ? "" : " ") + v.key;
            }
        }
        if (!keys.empty()) {
            add(std::string(VerdictText(kind)) + ": " + keys);
        }
    }
    if (std::any_of(verdicts.begin(), verdicts.end(),
                    [](const FieldVerdict& v) { return v.verdict == Verdict::NotFlagged; })) {
        add(kPasswordNotFlagged);
    }
    return summary;
}

}  // namespace netsonde::commission
