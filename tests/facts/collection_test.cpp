// The kit against the test collection's manifest, whose facts were written by hand beside
// each text (tests/data/make-collection): every date and result text of 48 records in four
// code pages reads as the manifest says.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "Tsv.h"
#include "game_date.h"
#include "game_result.h"

namespace {

std::string Stated(const facts::GameResult& r) {
    if (!r.known()) {
        return "unknown";
    }
    std::ostringstream margin;
    if (r.margin > 0) {
        margin << r.margin;
    }
    return std::string(facts::WinnerName(r.winner)) + "/" + facts::KindName(r.kind) + "/" +
           margin.str();
}

TEST(CollectionTest, DatesAndResultsReadAsTheManifestStates) {
    const auto rows = ReadTsv(GIBO_COLLECTION_DIR "/manifest.tsv");
    ASSERT_EQ(rows.size(), 49u);
    std::map<std::string, size_t> column;
    for (size_t i = 0; i < rows[0].size(); ++i) {
        column[rows[0][i]] = i;
    }
    int dates = 0;
    int results = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto field = [&](const char* name) { return rows[r].at(column.at(name)); };
        if (!field("date_item").empty()) {
            const facts::GameDate d = facts::ParseGameDate(field("date_text"));
            EXPECT_EQ(d.known() ? d.iso : "none", field("date_item")) << field("file");
            ++dates;
        }
        if (!field("result_item").empty()) {
            const std::string stated = Stated(facts::ParseGameResult(field("result_text")));
            EXPECT_EQ(stated, field("result_item")) << field("file");
            ++results;
        }
    }
    EXPECT_EQ(dates, 40);
    EXPECT_EQ(results, 40);
}

}  // namespace
