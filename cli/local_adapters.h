// The workstation's usable IPv4 addresses as the adapter chooser counts them (loopback and
// 0.0.0.0 left out), each with its interface, and the choice of those a command works on.
#pragma once

#include <string>
#include <vector>

namespace netsonde::cli {

struct LocalAdapter {
    std::string address;    // dotted IPv4 text
    std::string interface;  // interface name (Linux) or description (Windows)
};

// Reads the platform's tables (getifaddrs on Linux, the chooser's interface and address tables
// on Windows). False with *error set when they cannot be read.
bool ReadLocalAdapters(std::vector<LocalAdapter>* adapters, std::string* error);

// The adapters named by `wanted` (each an address or an interface name; an interface names all
// its addresses), in the order of `all`; every adapter when `wanted` is empty. Names that match
// nothing go to *unknown.
std::vector<LocalAdapter> ChooseAdapters(const std::vector<LocalAdapter>& all,
                                         const std::vector<std::string>& wanted,
                                         std::vector<std::string>* unknown);

// The local address a set request for a device goes out from, given the addresses it was heard
// on: the one address; or, when all of them belong to one interface that `wanted` names (two
// addresses on one link), the first of them in the order of `chosen`: a broadcast from either
// leaves by the same interface. Empty when the user has to pick (heard on several interfaces,
// or on several addresses of an interface not named).
std::string SendingAddress(const std::vector<LocalAdapter>& chosen,
                           const std::vector<std::string>& wanted,
                           const std::vector<std::string>& heard);

}  // namespace netsonde::cli
