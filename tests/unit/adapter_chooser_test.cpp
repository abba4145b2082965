// The adapter chooser's openings over faked table reads: when it closes the program, decides
// alone or shows its list, and what OK and Cancel leave in SelectedAdapter across openings.
#include "adapter/adapter_chooser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace netsonde {
namespace {

// What the faked reader answers at one opening: the tables, or nothing for a failed read.
using Read = std::optional<AdapterTables>;

const AdapterTables kOnlyWs1 = {{{3, "ws1"}}, {{{127, 0, 0, 1}, 1}, {{10, 0, 1, 1}, 3}}};
const AdapterTables kLoopbackOnly = {{{1, "lo"}}, {{{127, 0, 0, 1}, 1}}};
const AdapterTables kThree = {
    {{1, "lo"}, {2, "ws0"}, {3, "ws1"}},
    {{{127, 0, 0, 1}, 1}, {{10, 0, 0, 1}, 2}, {{10, 0, 1, 1}, 3}, {{10, 0, 1, 2}, 3}}};
const AdapterTables kNoRows = {{}, {{{10, 0, 0, 1}, 2}}};

// One opening and the operator's answer to it.
struct Step {
    Read read;
    ChooserOpening opening;
    enum { None, Ok, Cancel } action = None;
    int selection = 0;         // for Ok
    bool keepsRunning = true;  // Cancel's answer
    const char* address = "";  // in effect afterwards
    int confirmed = 0;         // afterwards
};

TEST(AdapterChooserTest, ConfirmationAndAddressAcrossOpenings) {
    using O = ChooserOpening;
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a choice made alone is confirmed: a later Cancel keeps running and the earlier address",
         {{kOnlyWs1, O::ChosenAlone, Step::None, 0, true, "10.0.1.1", 1},
          {kThree, O::ShowList, Step::Cancel, 0, true, "10.0.1.1", 1}}},
        {"alone with only loopback: any address, confirmed all the same",
         {{kLoopbackOnly, O::ChosenAlone, Step::None, 0, true, "", 1},
          {kThree, O::ShowList, Step::Cancel, 0, true, "", 1}}},
        {"Cancel before any confirmation ends the program",
         {{kThree, O::ShowList, Step::Cancel, 0, false, "10.0.0.1", 0}}},
        {"OK confirms the selected entry; a later Cancel puts it back, a later OK replaces it",
         {{kThree, O::ShowList, Step::Ok, 2, true, "10.0.1.2", 1},
          {kThree, O::ShowList, Step::Cancel, 0, true, "10.0.1.2", 1},
          {kThree, O::ShowList, Step::Ok, 1, true, "10.0.1.1", 1}}},
        {"failed reads and an empty table change nothing, confirmed or not",
         {{std::nullopt, O::DetectionError, Step::None, 0, true, "", 0},
          {kNoRows, O::NoAdapters, Step::None, 0, true, "", 0},
          {kOnlyWs1, O::ChosenAlone, Step::None, 0, true, "10.0.1.1", 1},
          {std::nullopt, O::DetectionError, Step::None, 0, true, "10.0.1.1", 1},
          {kNoRows, O::NoAdapters, Step::None, 0, true, "10.0.1.1", 1}}},
    };
    for (const Case& c : cases) {
        SelectedAdapterState selected;
        char table[kAdapterTableEntries][kAddressTextSize] = {};
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            SCOPED_TRACE(std::string(c.name) + ", opening " + std::to_string(i + 1));
            AdapterChooser chooser(selected, table);
            const ChooserOpening opening = chooser.Open([&step](AdapterTables* tables) {
                if (step.read) {
                    *tables = *step.read;
                }
                return step.read.has_value();
            });
            ASSERT_EQ(opening, step.opening);
            if (opening == O::ShowList) {
                chooser.Listed(chooser.items().size());
            }
            if (step.action == Step::Ok) {
                chooser.Confirm(step.selection);
            } else if (step.action == Step::Cancel) {
                EXPECT_EQ(chooser.Cancel(), step.keepsRunning);
            }
            EXPECT_EQ(FieldText(selected.addressText), step.address);
            EXPECT_EQ(selected.choiceConfirmed, step.confirmed);
        }
    }
}

}  // namespace
}  // namespace netsonde
