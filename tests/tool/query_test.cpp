// gibo find's questions: the pair tokens names are stored and searched by, the SQL built from
// find's options, and the two meeting in an index.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

#include "index/index_db.h"
#include "index/query.h"
#include "index/search_terms.h"

namespace {

TEST(SearchTerms, EveryPairOfAdjacentCharactersIsAToken) {
    const std::pair<const char*, const char*> cases[] = {
        {"Kim", "6b69 696d"},      // ASCII letters in lower case
        {"古力", "e58fa4e58a9b"},  // one pair of UTF-8 characters
        {"이세돌", "ec9db4ec84b8 ec84b8eb8f8c"},
        {"\xf0\x9f\x98\x80"
         "a",
         "f09f988061"},        // four bytes: U+1F600
        {"a\xff", "61ff"},     // a stray byte is a character
        {"\xe5\x8f", "e58f"},  // so is each byte of a cut one
        {"a", ""},
        {"", ""},
        {"kIm  JI x", "6b69 696d 6a69"},  // blank-separated keys: no pair spans two
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PairTokens(c.first), c.second) << c.first;
    }
    EXPECT_EQ(PairPhrase("Kim"), "\"6b69 696d\"");
    EXPECT_EQ(PairPhrase("K"), "");
}

TEST(Query, IsDateTakesYearMonthAndDay) {
    for (const char* good : {"2013", "2013-01", "2013-01-07", "0000"}) {
        EXPECT_TRUE(IsDate(good)) << good;
    }
    for (const char* bad : {"", "13", "2013-1", "2013/01", "2013-01-7", "201a", "2013-01-07T1"}) {
        EXPECT_FALSE(IsDate(bad)) << bad;
    }
}

// The query of find's options, or the usage error. Keys are the text as typed.
std::string Build(const std::vector<std::string>& options, Query& q) {
    Args args;
    std::string error;
    EXPECT_TRUE(args.Parse(options, FindOptions(), error)) << error;
    auto typed = [](const std::string& text, std::string& key) {
        key = text;
        return text != "unreadable";
    };
    return BuildQuery(args, typed, q, error) ? std::string() : error;
}

// Refusals that tool/pins/index-commands does not already show.
TEST(Query, RefusesWhatItCannotAsk) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--black", "unreadable"}, "--black needs a text this tool can read"},
        {{"--loser", "unreadable"}, "--loser needs a text this tool can read"},
        {{"--loser", "draw"}, "--loser takes white, black or a player's name: a draw has no loser"},
        {{"--date", "2013-01-7"}, "--date takes YYYY, YYYY-MM or YYYY-MM-DD"},
        {{"--handicap", "-1"}, "--handicap needs a whole number"},
    };
    for (const auto& c : cases) {
        Query q;
        EXPECT_EQ(Build(c.first, q), c.second);
    }
}

// The names a query finds in an index that holds two games.
std::vector<std::string> Found(IndexDb& db, const std::vector<std::string>& options) {
    Query q;
    EXPECT_EQ(Build(options, q), "");
    EXPECT_EQ(std::count(q.where.begin(), q.where.end(), '?'), static_cast<long>(q.values.size()));
    std::vector<std::string> paths;
    EXPECT_TRUE(db.EachRow(q.Sql(false), q.values, [&paths](sqlite3_stmt* stmt) {
        paths.push_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 5)));
    }));
    return paths;
}

void RemoveIndex(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
    }
}

TEST(Query, FindsNamesByAnyPartAsTheIndexStoresThem) {
    const std::string path = testing::TempDir() + "query_test.db";
    RemoveIndex(path);
    IndexDb db;
    std::string notice, error;
    ASSERT_TRUE(db.Open(path, true, notice, error)) << error;
    // Keys as the index stores them: folded, blank-separated.
    const char* const games[][5] = {{"이세돌", "kimji lee", "white", "resignation", "名人"},
                                    {"古力", "sai", "black", nullptr, "a%b_c"}};
    for (const auto& g : games) {
        IndexRow row;
        row.path = std::string(g[0]) + ".gib";
        row.columns = {{"size", Cell::Int(1)},
                       {"mtime", Cell::Int(2)},
                       {"white_keys", Cell::Text(g[0])},
                       {"black_keys", Cell::Text(g[1])},
                       {"winner", Cell::Text(g[2])},
                       {"event_keys", Cell::Text(g[4])},
                       {"move_count", Cell::Int(g[3] ? 150 : 99)},
                       {"handicap", Cell::Int(g[3] ? 0 : 3)},
                       {"date_iso", Cell::Text("2013-01-07T14:05")}};
        if (g[3]) {
            row.columns["result_kind"] = Cell::Text(g[3]);
        }
        ASSERT_TRUE(db.Store(row, error)) << error;
        ASSERT_TRUE(db.Store(row, error)) << error;  // stored again: replaced, not doubled
    }
    // What find answers on whole collections is pinned in tool/pins/index-commands; here the
    // edges of the keys and of each condition.
    using Paths = std::vector<std::string>;
    EXPECT_EQ(Found(db, {"--player", "kIMj"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--player", "jil"}), Paths{});  // no pair across two keys
    EXPECT_EQ(Found(db, {"--player", "lee", "--player", "sai"}), Paths{});
    EXPECT_EQ(Found(db, {"--vs", "kimji", "이세돌"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--vs", "이세돌", "kimji"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--vs", "이세돌", "sai"}), Paths{});
    EXPECT_EQ(Found(db, {"--loser", "이세돌"}), Paths{});
    EXPECT_EQ(Found(db, {"--loser", "kimji"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--winner", "sai"}), Paths{"古力.gib"});
    EXPECT_EQ(Found(db, {"--loser", "black"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--from", "2013-01-08"}), Paths{});
    EXPECT_EQ(Found(db, {"--date", "2013-01-06"}), Paths{});
    EXPECT_EQ(Found(db, {"--result", "resignation", "--min-moves", "100"}), Paths{"이세돌.gib"});
    EXPECT_EQ(Found(db, {"--result", "unknown", "--handicap", "3"}), Paths{"古力.gib"});
    EXPECT_EQ(Found(db, {"--player", "i", "--limit", "1"}), Paths{"古力.gib"});
    // A single character is looked for with LIKE, its wildcards taken as themselves.
    for (const char* c : {"%", "_"}) {
        EXPECT_EQ(Found(db, {"--name", c}), Paths{"古力.gib"}) << c;
        EXPECT_EQ(Found(db, {"--player", c}), Paths{}) << c;
    }
    EXPECT_EQ(Found(db, {"--name", "\\"}), Paths{});
}

// A removal takes exactly the tokens the row was stored with, whatever bytes its texts hold,
// and only the row of the path it was asked for: an id read by a run may be another record's
// by the time it removes it.
TEST(Query, RemovalLeavesNoTokensAndSparesTheRecordThatTookTheId) {
    const std::string path = testing::TempDir() + "removal_test.db";
    RemoveIndex(path);
    IndexDb db, other;  // two runs on one index
    std::string notice, error;
    ASSERT_TRUE(db.Open(path, true, notice, error)) << error;
    ASSERT_TRUE(other.Open(path, true, notice, error)) << error;
    auto row = [](const char* file, const std::string& white) {
        IndexRow r;
        r.path = file;
        r.columns = {{"size", Cell::Int(1)},
                     {"mtime", Cell::Int(2)},
                     {"white_keys", Cell::Text(white)},
                     {"event_keys", Cell::Text("\xff" + white)}};
        return r;
    };
    ASSERT_TRUE(db.Store(row("old.gib", std::string("ab\0cd", 5)), error)) << error;
    std::map<std::string, IndexDb::Known> known;
    ASSERT_TRUE(db.LoadKnown("", known, error)) << error;
    const long long id = known.at("old.gib").id;
    ASSERT_TRUE(other.Remove(id, "old.gib", error)) << error;
    ASSERT_TRUE(other.Store(row("new.gib", "xy"), error)) << error;
    ASSERT_TRUE(other.LoadKnown("", known, error)) << error;
    ASSERT_EQ(known.at("new.gib").id, id);  // the id is taken again
    ASSERT_TRUE(db.Remove(id, "old.gib", error)) << error;
    using Paths = std::vector<std::string>;
    EXPECT_EQ(Found(db, {"--player", "xy"}), Paths{"new.gib"});
    EXPECT_EQ(Found(db, {"--name", "xy"}), Paths{"new.gib"});
    EXPECT_EQ(Found(db, {"--player", "cd"}), Paths{});
}

}  // namespace
