// gibo players: who played in a collection, with wins, losses and draws, from its index.
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/errors.h"
#include "index/query.h"
#include "index/rows_out.h"

namespace {

const char kHelp[] =
    "Usage: gibo players [OPTIONS] DB\n"
    "\n"
    "Lists the players of the games of the index DB (made by 'gibo index') with their games,\n"
    "wins, losses, draws and the dates of their first and last game, most games first: one\n"
    "line per player, tab separated, or with --json one object, with --csv a table. A player\n"
    "is a name as shown (the GAMEWHITENAME or GAMEBLACKNAME item, else the game\n"
    "information's nick or id), Simplified and Traditional forms counted as one. Every\n"
    "condition of 'gibo find' narrows the games counted: with --vs A B, the head-to-head\n"
    "record of the two.\n"
    "\n"
    "  --chart            wins and losses as a bar chart instead of the list\n"
    "  (and every condition of 'gibo find': --player, --vs A B, --event, --date, ...)\n";

// Each side of each game once, as a player's win, loss or draw.
const char kPlayersSql[] =
    "WITH g AS (SELECT r.white_name, r.black_name, r.white_keys || ' ' AS wk,"
    " r.black_keys || ' ' AS bk, r.winner, r.date_iso FROM records r WHERE %W),"
    " s AS (SELECT white_name AS player, substr(wk, 1, instr(wk, ' ') - 1) AS k,"
    " IFNULL(winner = 'white', 0) AS win, IFNULL(winner = 'black', 0) AS loss,"
    " IFNULL(winner = 'draw', 0) AS draw, date_iso FROM g"
    " UNION ALL SELECT black_name, substr(bk, 1, instr(bk, ' ') - 1),"
    " IFNULL(winner = 'black', 0), IFNULL(winner = 'white', 0), IFNULL(winner = 'draw', 0),"
    " date_iso FROM g)"
    " SELECT count(*) AS games, sum(win) AS wins, sum(loss) AS losses, sum(draw) AS draws,"
    " substr(min(date_iso), 1, 10) AS first, substr(max(date_iso), 1, 10) AS last,"
    " min(player) AS player FROM s WHERE k <> '' GROUP BY k ORDER BY games DESC, player"
    " LIMIT %L";

const std::vector<std::string> kColumns = {"games", "wins", "losses", "draws",
                                           "first", "last", "player"};

std::string PlayersSql(const Query& q) {
    std::string sql = kPlayersSql;
    sql.replace(sql.find("%W"), 2, q.where);
    sql.replace(sql.find("%L"), 2, std::to_string(q.limit));
    return sql;
}

int RunPlayers(Tool& tool, const Args& args) {
    Search s;
    const int status = OpenSearch(tool, args, s);
    if (status != kExitOk) {
        return status;
    }
    if (!args.Has("--chart")) {
        return PrintRows(tool, args, s, PlayersSql(s.q), kColumns);
    }
    return PrintChart(tool, s, PlayersSql(s.q), 6, {1, 2}, {"wins", "losses"});
}

}  // namespace

Command PlayersCommand() {
    return {"players", "list the players of an index database", kHelp, FindOptions(), RunPlayers};
}
