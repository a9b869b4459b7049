// What gibo find asks the index: the conditions of its options as one SQL statement, with the
// values bound to its "?"s in order.
#ifndef GIBO_TOOLS_INDEX_QUERY_H
#define GIBO_TOOLS_INDEX_QUERY_H

#include <functional>
#include <string>
#include <vector>

#include "cli/args.h"

// One condition and the values of its "?"s.
struct Condition {
    std::string sql;
    std::vector<std::string> values;
};

struct Query {
    std::string where = "r.error IS NULL";
    std::vector<std::string> values;
    long limit = -1;  // -1 for no limit

    // Appends a condition.
    void Add(const Condition& c);
    // The statement: every column of the records (all) or those find prints, by date.
    std::string Sql(bool all) const;
};

// A search key (folded, UTF-8) in full-text columns ("{white black}"), or, for a single
// character, in the plain key columns with LIKE.
Condition KeyIn(const std::string& columns, const std::vector<const char*>& plain,
                const std::string& key);

// Turns a text the user typed into the search key the index holds (UTF-8, folded); false when
// it cannot be read.
using TypedText = std::function<bool(const std::string& typed, std::string& key)>;

// The conditions of find's options (--player, --vs, --winner, --from, --limit, ...). False
// with a usage message.
bool BuildQuery(const Args& args, const TypedText& typed, Query& q, std::string& error);

// The options of find (and players) that BuildQuery reads.
const std::vector<OptionSpec>& FindOptions();

// YYYY, YYYY-MM or YYYY-MM-DD.
bool IsDate(const std::string& d);

#endif  // GIBO_TOOLS_INDEX_QUERY_H
