// What the Change dialog starts from and what it tells the operator, shared by the dialog and the
// command-line program: the texts a stored record shows untouched, the fields a ChangeMask flags
// and the refusal message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/set_request.h"
#include "protocol/device_record.h"

namespace netsonde {

// The fields as the dialog opens them for a stored record: its name, IP address, subnet mask,
// gateway and TFTP server in their text forms, its image file name, its address type, and an
// empty password (the stored one is never shown).
ChangeFields StoredChangeFields(const DeviceRecord& stored);

// The record field named by each bit of a ChangeMask or ErrorMask ("ipAddress", "subnetMask"...),
// or nullptr for a bit no field is known for.
const char* MaskBitField(int bit);

// The field names of the bits set in a mask, lowest bit first; unknown bits as "bit N".
std::vector<std::string> MaskFieldNames(std::uint16_t mask);

// "Device returned error\r\nPlease check %s" with the ErrorMask's name.
std::string RefusalMessage(std::uint16_t errorMask);

}  // namespace netsonde
