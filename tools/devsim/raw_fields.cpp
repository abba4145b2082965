// Bounded writes of raw field contents at the record's fixed offsets.
#include "tools/devsim/raw_fields.h"

namespace devsim {
namespace {

struct FieldPlace {
    std::size_t offset;
    std::size_t size;
};

FieldPlace PlaceOf(TextField field) {
    using namespace netsonde::field;
    switch (field) {
        case TextField::Password:
            return {kPassword, kPasswordSize};
        case TextField::SystemName:
            return {kSystemName, kSystemNameSize};
        case TextField::SystemDescription:
            return {kSystemDescription, kSystemDescriptionSize};
        case TextField::ImageFileName:
            return {kImageFileName, kImageFileNameSize};
    }
    return {0, 0};
}

}  // namespace

bool TextFieldFromName(std::string_view name, TextField* field) {
    if (name == "password") {
        *field = TextField::Password;
    } else if (name == "name") {
        *field = TextField::SystemName;
    } else if (name == "description") {
        *field = TextField::SystemDescription;
    } else if (name == "image") {
        *field = TextField::ImageFileName;
    } else {
        return false;
    }
    return true;
}

std::size_t TextFieldCapacity(TextField field) {
    return PlaceOf(field).size;
}

void FillTextField(netsonde::DeviceRecord& record, TextField field, std::string_view pattern) {
    const FieldPlace place = PlaceOf(field);
    if (pattern.empty() || place.offset + place.size > netsonde::kRecordSize) {
        return;
    }
    for (std::size_t i = 0; i < place.size; ++i) {
        record.data()[place.offset + i] = static_cast<std::uint8_t>(pattern[i % pattern.size()]);
    }
}

void WriteAddressTypeValue(netsonde::DeviceRecord& record, std::uint32_t value) {
    static_assert(netsonde::field::kIpAddressType + 4 <= netsonde::kRecordSize,
                  "address type lies inside the record");
    for (std::size_t i = 0; i < 4; ++i) {
        record.data()[netsonde::field::kIpAddressType + i] =
            static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace devsim
