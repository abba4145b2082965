// Address assignment for a batch of devices; see address_assignment.h.
#include "commission/address_assignment.h"

#include <algorithm>

namespace netsonde::commission {

AddressAssignment AssignAddresses(const std::vector<std::uint32_t>& currentAddresses,
                                  std::uint32_t first, unsigned step, std::uint32_t mask,
                                  const std::vector<std::uint32_t>& avoid) {
    AddressAssignment result;
    const std::size_t wanted = currentAddresses.size();
    const std::uint32_t hostBits = ~mask;
    if ((hostBits & (hostBits + 1)) == 0) {
        // Counted in 64 bits so that first + k * step never wraps around to 0.0.0.0.
        const std::uint32_t network = first & mask;
        std::uint64_t low = network;
        std::uint64_t high = static_cast<std::uint64_t>(network) | hostBits;
        if (hostBits > 1) {
            ++low;
            --high;
        }
        low = std::max<std::uint64_t>(low, 0x01000000u);
        high = std::min<std::uint64_t>(high, 0xFEFFFFFFu);

        std::vector<std::uint32_t> taken = avoid;
        std::sort(taken.begin(), taken.end());
        std::uint64_t candidate = first;
        if (candidate < low && step > 0) {
            candidate += (low - candidate + step - 1) / step * step;
        }
        // Each turn either hands out an address or passes one in avoid: the loop is bounded by
        // the devices and avoid, however large the subnet.
        while (result.addresses.size() < wanted && candidate >= low && candidate <= high) {
            const auto address = static_cast<std::uint32_t>(candidate);
            if (!std::binary_search(taken.begin(), taken.end(), address)) {
                result.addresses.push_back(address);
            }
            if (step == 0) {
                break;
            }
            candidate += step;
        }
    }
    result.fitting = result.addresses.size();
    result.fits = result.fitting == wanted;
    if (!result.fits) {
        result.addresses.clear();
    }
    return result;
}

}  // namespace netsonde::commission
