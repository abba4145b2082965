// New addresses for a batch of devices: a first address, a step and a subnet, skipping the
// addresses already in use. One function, shared by the window's Change Several Devices dialog
// and netsonde-cli plan, so both hand out the very same addresses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace netsonde::commission {

// An IPv4 address as a number: the first dotted number in the top byte (protocol/ipv4_number.h
// converts to and from the record's bytes).
struct AddressAssignment {
    bool fits = false;                     // every device got an address
    std::size_t fitting = 0;               // how many devices got one (all when fits)
    std::vector<std::uint32_t> addresses;  // one per device, in the given order, when fits
};

// currentAddresses: each device to change, in order, with the address it holds now.
// avoid: addresses of listed devices that are not being changed and the workstation's own.
//
// Device k gets the k-th free address of first, first + step, first + 2 * step, ... that lies
// in first's subnet under mask; counting never wraps past the subnet's end. Not free: an
// address in avoid, the subnet's network and broadcast address (a /31 or /32 has neither, as
// on point-to-point links), and an address whose first number is 0 or 255, which the Change
// dialog refuses. A step of 0 counts the first address only; a mask that is not a run of
// one-bits from the top gives no address. When the devices do not fit, addresses is empty and
// fitting says how many would have. A device whose new address is the one it holds keeps it:
// the caller sees addresses[k] == currentAddresses[k] and leaves its address alone.
AddressAssignment AssignAddresses(const std::vector<std::uint32_t>& currentAddresses,
                                  std::uint32_t first, unsigned step, std::uint32_t mask,
                                  const std::vector<std::uint32_t>& avoid);

}  // namespace netsonde::commission
