// What gibo find asks the index: the conditions of its options as one SQL statement, with the
// values bound to its "?"s in order.
#ifndef GIBO_TOOLS_INDEX_QUERY_H
#define GIBO_TOOLS_INDEX_QUERY_H

#include <functional>
#include <string>
#include <vector>

#include "cli/args.h"

struct Query {
    std::string where = "r.error IS NULL";
    std::string match;  // an FTS5 expression over game_text; empty for none
    std::vector<std::string> values;
    long limit = -1;  // -1 for no limit

    // Appends a condition whose "?"s take v.
    void Add(const std::string& sql, std::vector<std::string> v);
    // A name or game name (UTF-8) in the full-text columns, or, for a single character, in
    // the plain columns with LIKE.
    void Name(const std::string& columns, const std::vector<const char*>& plain,
              const std::string& text);
    // The statement: every column of the records (all) or those find prints, by date. The
    // full-text expression, when there is one, joins the values here.
    std::string Sql(bool all);
};

// Turns a text the user typed into UTF-8, as the index holds it; false when it cannot.
using TypedText = std::function<bool(const std::string& typed, std::string& utf8)>;

// The conditions of find's options (--player, --winner, --from, --limit, ...). False with a
// usage message.
bool BuildQuery(const Args& args, const TypedText& typed, Query& q, std::string& error);

// YYYY, YYYY-MM or YYYY-MM-DD.
bool IsDate(const std::string& d);

#endif  // GIBO_TOOLS_INDEX_QUERY_H
