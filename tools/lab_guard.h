// The lab guard for native programs that send on the network (the device simulator, lab
// probes): they may run only inside a network namespace that the lab script created. The rule,
// the same as lab_guard in tests/lab/lab_guard.sh:
//   - the current network namespace differs from the initial one: that of process 1, or, where
//     process 1 may not be inspected, that of kthreadd (process 2), which lives there always;
//   - it is the namespace named by NETSONDE_LAB_NS (prefix "nsws-") or NETSONDE_LAB_DEV_NS
//     (prefix "nsdev-") under /run/netns/.
// Header-only and Linux-only, so any native tool can include it without linking anything.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace netsonde {
namespace lab {

struct NamespaceId {
    dev_t device = 0;
    ino_t inode = 0;
};

inline bool ReadNamespaceId(const std::string& path, NamespaceId* id) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    id->device = info.st_dev;
    id->inode = info.st_ino;
    return true;
}

// The machine's own network namespace, from process 1 or else from kthreadd.
inline bool ReadInitialNamespaceId(NamespaceId* id) {
    if (ReadNamespaceId("/proc/1/ns/net", id)) {
        return true;
    }
    char name[32] = {};
    if (std::FILE* comm = std::fopen("/proc/2/comm", "r")) {
        const bool read = std::fgets(name, sizeof name, comm) != nullptr;
        std::fclose(comm);
        if (read && std::strcmp(name, "kthreadd\n") == 0) {
            return ReadNamespaceId("/proc/2/ns/net", id);
        }
    }
    return false;
}

inline bool SameNamespace(const NamespaceId& a, const NamespaceId& b) {
    return a.device == b.device && a.inode == b.inode;
}

// A lab namespace name: the given prefix followed by letters, digits, '-' or '_' only, so the
// name cannot walk out of /run/netns.
inline bool IsLabNamespaceName(const char* name, const char* prefix) {
    if (name == nullptr || std::strncmp(name, prefix, std::strlen(prefix)) != 0) {
        return false;
    }
    const char* rest = name + std::strlen(prefix);
    if (*rest == '\0' || std::strlen(name) > 64) {
        return false;
    }
    for (; *rest != '\0'; ++rest) {
        const char c = *rest;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// True when the process runs inside one of the lab's namespaces. Otherwise false, with the
// reason in *why.
inline bool InsideLabNamespace(std::string* why) {
    NamespaceId current, initial;
    if (!ReadNamespaceId("/proc/self/ns/net", &current)) {
        *why = "cannot read /proc/self/ns/net";
        return false;
    }
    if (!ReadInitialNamespaceId(&initial)) {
        *why = "cannot read the initial network namespace (root is required)";
        return false;
    }
    if (SameNamespace(current, initial)) {
        *why = "running in the machine's own network namespace";
        return false;
    }
    const struct {
        const char* variable;
        const char* prefix;
    } candidates[] = {{"NETSONDE_LAB_NS", "nsws-"}, {"NETSONDE_LAB_DEV_NS", "nsdev-"}};
    bool anyNamed = false;
    for (const auto& candidate : candidates) {
        const char* name = std::getenv(candidate.variable);
        if (!IsLabNamespaceName(name, candidate.prefix)) {
            continue;
        }
        anyNamed = true;
        NamespaceId named;
        if (ReadNamespaceId(std::string("/run/netns/") + name, &named) &&
            SameNamespace(current, named)) {
            return true;
        }
    }
    *why = anyNamed ? "the current network namespace is not the lab namespace named by "
                      "NETSONDE_LAB_NS or NETSONDE_LAB_DEV_NS"
                    : "neither NETSONDE_LAB_NS nor NETSONDE_LAB_DEV_NS names a lab namespace";
    return false;
}

}  // namespace lab
}  // namespace netsonde
