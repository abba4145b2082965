// A scan saved with --save, read back for --since: parsed with nlohmann-json (only the
// command-line program has it) and turned into the document it was written from.
#pragma once

#include <string>

#include "commission/scan_document.h"

namespace netsonde::cli {

// Parses a saved scan, in time and memory linear in the text's size. False with *error set when
// the text is not one (bad JSON, nested deeper than 64 levels, another version, devices without a
// mac). A value of an unexpected kind is read as empty.
bool ParseScanDocument(const std::string& text, commission::ScanDocument* document,
                       std::string* error);

}  // namespace netsonde::cli
