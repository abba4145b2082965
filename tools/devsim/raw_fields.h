// Field contents a simulated device may carry that the program itself never writes: a text
// field filled to its full width without a terminating zero, and a raw 32-bit address type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/device_record.h"

namespace devsim {

enum class TextField { Password, SystemName, SystemDescription, ImageFileName };

// "password", "name", "description" or "image".
bool TextFieldFromName(std::string_view name, TextField* field);

std::size_t TextFieldCapacity(TextField field);

// Repeats the pattern over the field's whole width (cut at its end); no zero byte is written.
// An empty pattern leaves the field as it was.
void FillTextField(netsonde::DeviceRecord& record, TextField field, std::string_view pattern);

// Writes the little-endian address type field with any value, not only 1 or 2.
void WriteAddressTypeValue(netsonde::DeviceRecord& record, std::uint32_t value);

}  // namespace devsim
