// The searches of find and players: the index they read, the query of their options, and its
// answers as the commands print them.
#ifndef GIBO_TOOLS_INDEX_ROWS_OUT_H
#define GIBO_TOOLS_INDEX_ROWS_OUT_H

#include <string>
#include <vector>

#include "cli/tool.h"
#include "index/index_db.h"
#include "index/query.h"

// A search of find or players: the query of its options and the index it reads.
struct Search {
    Query q;
    IndexDb db;
    std::string dbPath;
};

// The query of find's options and the index named by the one operand, opened for reading:
// kExitOk, or the status of the usage error or failure reported.
int OpenSearch(Tool& tool, const Args& args, Search& search);

// Prints the rows of sql as lines (columns tab separated, control characters, tabs and line
// ends as \xNN, an ISO date's "T" in the first column as a blank), JSON objects, or with --csv
// a table of csvColumns under their header row: kExitOk, or the failure reported.
int PrintRows(Tool& tool, const Args& args, Search& search, const std::string& sql,
              const std::vector<std::string>& csvColumns);

// Prints the rows of sql as a bar chart of the values in the columns values, each labelled by
// its column label, with a legend of series when given: kExitOk, or the failure reported.
int PrintChart(Tool& tool, Search& search, const std::string& sql, int label,
               const std::vector<int>& values, const std::vector<std::string>& series = {});

#endif  // GIBO_TOOLS_INDEX_ROWS_OUT_H
