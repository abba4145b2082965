// A commissioning plan of any bytes: the reader never crashes and keeps only rows with a MAC,
// and the rows it keeps, written back through the CSV writer, read back as the same options.
// So the writer and the reader agree on every cell, texts a spreadsheet would take as formulas
// (written with a leading apostrophe) included.
#include <cstdint>
#include <optional>
#include <string>

#include "commission/csv.h"
#include "commission/plan_file.h"
#include "commission/scan_document.h"
#include "fuzz/fuzz_check.h"

using namespace netsonde;
using namespace netsonde::commission;

namespace {

std::string Cell(const std::optional<std::string>& text) {
    return text ? *text : std::string();
}

// Name, image and password are kept as the record's Latin-1 bytes; a plan holds UTF-8.
std::string TextCell(const std::optional<std::string>& latin1) {
    return latin1 ? Latin1ToUtf8(*latin1) : std::string();
}

bool SameOptions(const ChangeOptions& a, const ChangeOptions& b) {
    return a.type == b.type && a.ip == b.ip && a.mask == b.mask && a.gateway == b.gateway &&
           a.tftp == b.tftp && a.image == b.image && a.password == b.password && a.name == b.name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Plan plan = ReadPlan("plan.csv", std::string(reinterpret_cast<const char*>(data), size));
    std::string written = CsvLine(kPlanColumns);
    for (const PlanRow& row : plan.rows) {
        FUZZ_CHECK(row.line >= 2 && row.mac.size() == 17);
        const ChangeOptions& o = row.options;
        const std::string type = !o.type                          ? ""
                                 : *o.type == AddressType::Static ? "static"
                                                                  : "dynamic";
        written += CsvLine({row.mac, type, Cell(o.ip), Cell(o.mask), Cell(o.gateway), Cell(o.tftp),
                            TextCell(o.image), TextCell(o.password), TextCell(o.name)});
    }
    const Plan again = ReadPlan("again.csv", written);
    FUZZ_CHECK(again.errors.empty());
    FUZZ_CHECK(again.rows.size() == plan.rows.size());
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        FUZZ_CHECK(again.rows[i].mac == plan.rows[i].mac);
        FUZZ_CHECK(SameOptions(again.rows[i].options, plan.rows[i].options));
    }
    return 0;
}
