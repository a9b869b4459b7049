// The index against the test collection's manifest (tests/data/make-collection writes both):
// 48 records in GBK, CP949, Big5 and Shift-JIS with names only in the header items, only in
// the game information, or in both, items that disagree with it and damaged dates. Each row
// holds the facts the manifest states. (Searches of this collection are pinned in
// tool/pins/index-commands.)
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "../facts/Tsv.h"
#include "index/record_row.h"
#include "index/row_feeder.h"
#include "index/rows_out.h"

namespace {

using Manifest = std::vector<std::map<std::string, std::string>>;

Manifest ReadManifest() {
    const auto rows = ReadTsv(GIBO_COLLECTION_DIR "/manifest.tsv");
    Manifest m;
    for (size_t r = 1; r < rows.size(); ++r) {
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < rows[0].size(); ++i) {
            row[rows[0][i]] = i < rows[r].size() ? rows[r][i] : "";
        }
        m.push_back(row);
    }
    return m;
}

std::string Text(const IndexRow& row, const std::string& column) {
    const auto it = row.columns.find(column);
    if (it == row.columns.end()) {
        return "";
    }
    return it->second.kind == Cell::kInt ? std::to_string(it->second.i) : it->second.s;
}

// The manifest's "none" is no date; a date stated without a time is the date alone.
std::string Expected(const std::string& date) {
    return date == "none" ? "" : date;
}

void ExpectFacts(const std::map<std::string, std::string>& m, const IndexRow& row) {
    const std::string& f = m.at("file");
    for (const std::string side : {"white", "black"}) {
        const std::string shown = !m.at(side + "_name").empty() ? m.at(side + "_name")
                                  : !m.at("info_" + side + "_nick").empty()
                                      ? m.at("info_" + side + "_nick")
                                      : m.at("info_" + side + "_id");
        EXPECT_EQ(Text(row, side + "_name"), shown) << f;
        EXPECT_EQ(Text(row, side + "_id"), m.at("info_" + side + "_id")) << f;
        if (!m.at(side + "_level").empty()) {
            EXPECT_EQ(Text(row, side + "_level"), m.at(side + "_level")) << f;
        }
    }
    EXPECT_EQ(Text(row, "date_item"), Expected(m.at("date_item"))) << f;
    EXPECT_EQ(Text(row, "date_info"), Expected(m.at("date_info"))) << f;
    // The item's date wins, unless the game information's says the same and more.
    const std::string item = Expected(m.at("date_item")), info = Expected(m.at("date_info"));
    EXPECT_EQ(Text(row, "date_iso"), !item.empty() && info.rfind(item, 0) != 0 ? item : info) << f;
    // So does the item's result, when it can be read.
    const std::string& stated = m.at("result_item");
    const bool known = !stated.empty() && stated != "unknown";
    const std::string result = known ? stated : m.at("result_info");
    EXPECT_EQ(Text(row, "winner"), result.substr(0, result.find('/'))) << f;
    if (!m.at("result_text").empty()) {
        const std::string& text = m.at("result_text");  // kept, but for the blanks around it
        EXPECT_EQ(Text(row, "result_text"), text.substr(0, text.find_last_not_of(' ') + 1)) << f;
        EXPECT_EQ(Text(row, "result_item"), m.at("result_item")) << f;
    }
    const std::string byCode = m.at("result_info").empty() ? "unknown" : m.at("result_info");
    EXPECT_EQ(Text(row, "result_info"), byCode) << f;
    const std::string moves = m.at("moves_info").empty() ? m.at("moves_body") : m.at("moves_info");
    EXPECT_EQ(Text(row, "move_count"), moves) << f;
    EXPECT_EQ(Text(row, "game_name"), m.at("event")) << f;
    EXPECT_EQ(Text(row, "place"), m.at("place")) << f;
}

TEST(Collection, RowsHoldTheManifestsFacts) {
    const Manifest manifest = ReadManifest();
    ASSERT_EQ(manifest.size(), 48u);
    Tool tool("index", "UTF-8");
    RowMaker maker(tool);
    std::string error;
    for (const auto& m : manifest) {
        IndexRow row;
        row.path = m.at("file");
        row.columns = {{"size", Cell::Int(1)}, {"mtime", Cell::Int(1)}};
        ASSERT_TRUE(maker.Make(GIBO_COLLECTION_DIR "/" + row.path, row, error)) << error;
        EXPECT_EQ(Text(row, "codepage"), m.at("codepage")) << row.path;
        ExpectFacts(m, row);
    }
}

}  // namespace

// The rows made ahead on the feeder's thread come back in order; a feeder left early stops
// without waiting for the rest; a failure in making a row reaches the taker.
TEST(RowFeederTest, InOrderStopsEarlyAndPassesFailures) {
    const auto make = [](size_t i, MadeRow& made) {
        if (i == 150) {
            throw std::runtime_error("cannot make row 150");
        }
        made.row.path = std::to_string(i);
    };
    {
        RowFeeder feeder(150, make);
        for (size_t i = 0; i < 150; ++i) {
            ASSERT_EQ(feeder.Next().row.path, std::to_string(i));
        }
    }
    {
        RowFeeder feeder(1000000, make);  // far more than it makes ahead
        EXPECT_EQ(feeder.Next().row.path, "0");
    }
    RowFeeder feeder(151, make);
    for (size_t i = 0; i < 150; ++i) {
        feeder.Next();
    }
    EXPECT_THROW(feeder.Next(), std::runtime_error);
}
