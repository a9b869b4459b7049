// gibo find: answers questions about a collection from its index.
#include <sqlite3.h>

#include <iostream>
#include <string>
#include <vector>

#include "bar_chart.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "csv.h"
#include "index/index_db.h"
#include "index/query.h"
#include "index/rows_out.h"
#include "name_fold.h"

namespace {

const char kHelp[] =
    "Usage: gibo find [OPTIONS] DB\n"
    "\n"
    "Lists the games of the index DB (made by 'gibo index') that match every condition given,\n"
    "by date: one line per game with date, white, black, result, game name and path, tab\n"
    "separated (control characters, tabs and line ends in a field written as \\xNN), with\n"
    "--json one object per game with every column of the index, with --csv a table with a\n"
    "header row. Names are found by any part of two or more characters, whether name, nick or\n"
    "id, blanks ignored, Simplified and Traditional forms alike (a single character is looked\n"
    "for as well, more slowly); ASCII letters match in either case. Only read access to DB is\n"
    "needed.\n"
    "\n"
    "  --player NAME      white or black; may be given more than once\n"
    "  --white NAME       the white player\n"
    "  --black NAME       the black player\n"
    "  --vs A B           the games of A against B, either colour\n"
    "  --winner WHO       white, black, draw, or a player's name\n"
    "  --loser WHO        white, black, or a player's name\n"
    "  --result KIND      points, resignation, time, forfeit, draw or unknown\n"
    "  --date DATE        played in DATE (YYYY, YYYY-MM or YYYY-MM-DD)\n"
    "  --from DATE        played on or after DATE\n"
    "  --to DATE          played on or before DATE\n"
    "  --event TEXT       the event (game name); --name is the same\n"
    "  --place TEXT       the place\n"
    "  --text TEXT        any header item's value\n"
    "  --min-moves N      at least N moves\n"
    "  --handicap N       N handicap stones (0 an even game)\n"
    "  --limit N          at most N games\n"
    "  --csv              comma-separated values (UTF-8, RFC 4180)\n"
    "  --chart            the games of each year as a bar chart instead of the list\n";

const std::vector<std::string> kCsvColumns = {
    "date_iso",    "white_name", "black_name", "winner",     "result_kind", "margin",
    "result_text", "game_name",  "place",      "move_count", "path"};

// Runs the query and prints its games. False when the database fails.
// --chart: the games of each year as bars; games without a date as "?".
bool PrintYears(Tool& tool, IndexDb& db, const Query& q) {
    std::vector<facts::ChartRow> rows;
    const std::string sql =
        "SELECT IFNULL(substr(r.date_iso, 1, 4), '?') AS y, count(*) FROM "
        "records r WHERE " +
        q.where + " GROUP BY y ORDER BY y = '?', y";
    const bool ok = EachRow(db, sql, q.values, [&](sqlite3_stmt* stmt) {
        rows.push_back({reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                        {sqlite3_column_int(stmt, 1)}});
    });
    facts::ChartStyle style;
    style.unicode = facts::CodesetIsUtf8(LocaleCharset());
    std::cout << tool.Harmless(facts::BarChart(rows, style));
    return ok;
}

int RunFind(Tool& tool, const Args& args) {
    Search s;
    const int status = OpenSearch(tool, args, s);
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("--chart")) {
        return PrintYears(tool, s.db, s.q) ? kExitOk : tool.Fail(s.dbPath, s.db.Message());
    }
    const bool csv = args.Has("--csv");
    if (csv) {
        std::cout << facts::CsvRow(kCsvColumns);
    }
    auto row = [&](sqlite3_stmt* stmt) {
        csv ? WriteCsv(stmt, kCsvColumns) : tool.Json() ? WriteJson(stmt) : WriteLine(tool, stmt);
    };
    if (!EachRow(s.db, s.q.Sql(tool.Json() || csv), s.q.values, row)) {
        return tool.Fail(s.dbPath, s.db.Message());
    }
    return kExitOk;
}

}  // namespace

Command FindCommand() {
    return {"find", "find games in an index database", kHelp, FindOptions(), RunFind};
}
