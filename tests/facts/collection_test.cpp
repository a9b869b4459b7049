// The kit against the test collection's manifest, whose facts were written by hand beside
// each text (tests/data/make-collection): every date and result text of 48 records in four
// code pages reads as the manifest says.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game_date.h"
#include "game_result.h"

namespace {

std::vector<std::map<std::string, std::string>> Manifest() {
    std::ifstream in(GIBO_COLLECTION_DIR "/manifest.tsv");
    std::vector<std::string> columns;
    std::vector<std::map<std::string, std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        if (columns.empty()) {
            columns = fields;
            continue;
        }
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < columns.size(); ++i) {
            row[columns[i]] = i < fields.size() ? fields[i] : std::string();
        }
        rows.push_back(row);
    }
    return rows;
}

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
    const auto rows = Manifest();
    ASSERT_EQ(rows.size(), 48u);
    int dates = 0;
    int results = 0;
    for (const auto& row : rows) {
        if (!row.at("date_item").empty()) {
            const facts::GameDate d = facts::ParseGameDate(row.at("date_text"));
            EXPECT_EQ(d.known() ? d.iso : "none", row.at("date_item")) << row.at("file");
            ++dates;
        }
        if (!row.at("result_item").empty()) {
            const std::string stated = Stated(facts::ParseGameResult(row.at("result_text")));
            EXPECT_EQ(stated, row.at("result_item")) << row.at("file");
            ++results;
        }
    }
    EXPECT_EQ(dates, 40);
    EXPECT_EQ(results, 40);
}

}  // namespace
