// Answers of the index (rows of an SQLite statement) as the commands print them, and the
// text a user types as the index holds it.
#ifndef GIBO_TOOLS_INDEX_ROWS_OUT_H
#define GIBO_TOOLS_INDEX_ROWS_OUT_H

#include <functional>
#include <string>
#include <vector>

#include "cli/tool.h"
#include "index/index_db.h"
#include "index/query.h"

struct sqlite3_stmt;

// Text the user typed, as UTF-8 like the index; false when it cannot be read.
bool Typed(Tool& tool, const std::string& text, std::string& utf8);

// One JSON object of every column of the row.
void WriteJson(sqlite3_stmt* stmt);
// The columns tab separated, control characters, tabs and line ends as \xNN; a first column
// that is an ISO date with a time shows a blank for its "T".
void WriteLine(const Tool& tool, sqlite3_stmt* stmt);
// A CSV row of the named columns, in their order.
void WriteCsv(sqlite3_stmt* stmt, const std::vector<std::string>& columns);

// A search of find or players: the query of its options and the index it reads.
struct Search {
    Query q;
    IndexDb db;
    std::string dbPath;
};

// The query of find's options and the index named by the one operand, opened for reading:
// kExitOk, or the status of the usage error or failure reported.
int OpenSearch(Tool& tool, const Args& args, Search& search);

// Runs sql with values bound in order, calling row for each row; false when the database
// fails.
bool EachRow(IndexDb& db, const std::string& sql, const std::vector<std::string>& values,
             const std::function<void(sqlite3_stmt*)>& row);

#endif  // GIBO_TOOLS_INDEX_ROWS_OUT_H
