// gibo find: answers questions about a collection from its index.
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/errors.h"
#include "index/query.h"
#include "index/rows_out.h"

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

int RunFind(Tool& tool, const Args& args) {
    Search s;
    const int status = OpenSearch(tool, args, s);
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("--chart")) {  // the games of each year; games without a date as "?"
        return PrintChart(tool, s,
                          "SELECT IFNULL(substr(r.date_iso, 1, 4), '?') AS y, count(*) FROM "
                          "records r WHERE " +
                              s.q.where + " GROUP BY y ORDER BY y = '?', y",
                          0, {1});
    }
    return PrintRows(tool, args, s, s.q.Sql(tool.Json() || args.Has("--csv")), kCsvColumns);
}

}  // namespace

Command FindCommand() {
    return {"find", "find games in an index database", kHelp, FindOptions(), RunFind};
}
