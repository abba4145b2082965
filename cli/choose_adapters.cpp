// Picking the adapters a command works on from those the workstation has.
#include <algorithm>

#include "cli/local_adapters.h"

namespace netsonde::cli {

std::vector<LocalAdapter> ChooseAdapters(const std::vector<LocalAdapter>& all,
                                         const std::vector<std::string>& wanted,
                                         std::vector<std::string>* unknown) {
    if (wanted.empty()) {
        return all;
    }
    const auto named = [&](const LocalAdapter& adapter, const std::string& name) {
        return adapter.address == name || adapter.interface == name;
    };
    for (const std::string& name : wanted) {
        if (std::none_of(all.begin(), all.end(),
                         [&](const LocalAdapter& adapter) { return named(adapter, name); })) {
            if (unknown != nullptr) {
                unknown->push_back(name);
            }
        }
    }
    std::vector<LocalAdapter> chosen;
    for (const LocalAdapter& adapter : all) {
        if (std::any_of(wanted.begin(), wanted.end(),
                        [&](const std::string& name) { return named(adapter, name); })) {
            chosen.push_back(adapter);
        }
    }
    return chosen;
}

std::string SendingAddress(const std::vector<LocalAdapter>& chosen,
                           const std::vector<std::string>& wanted,
                           const std::vector<std::string>& heard) {
    if (heard.size() == 1) {
        return heard.front();
    }
    std::string interface, first;
    for (const LocalAdapter& adapter : chosen) {
        if (std::find(heard.begin(), heard.end(), adapter.address) == heard.end()) {
            continue;
        }
        if (first.empty()) {
            first = adapter.address;
            interface = adapter.interface;
        } else if (adapter.interface != interface) {
            return std::string();
        }
    }
    const bool named = std::find(wanted.begin(), wanted.end(), interface) != wanted.end();
    return named ? first : std::string();
}

}  // namespace netsonde::cli
