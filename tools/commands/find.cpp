// gibo find: answers questions about a collection from its index.
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "cli/command.h"
#include "cli/errors.h"
#include "index/index_db.h"
#include "index/search_terms.h"

namespace {

const char kHelp[] =
    "Usage: gibo find [OPTIONS] DB\n"
    "\n"
    "Lists the games of the index DB (made by 'gibo index') that match every condition given,\n"
    "by date: one line per game with date, white, black, result, game name and path, tab\n"
    "separated, or with --json one object per game with every column of the index. Names are\n"
    "found by any part of two or more characters (a single character is looked for as well,\n"
    "more slowly); ASCII letters match in either case.\n"
    "\n"
    "  --player NAME      white or black\n"
    "  --white NAME       the white player\n"
    "  --black NAME       the black player\n"
    "  --winner SIDE      white, black or draw\n"
    "  --from DATE        played on or after DATE (YYYY, YYYY-MM or YYYY-MM-DD)\n"
    "  --to DATE          played on or before DATE\n"
    "  --name TEXT        the game name\n"
    "  --min-moves N      at least N moves\n"
    "  --handicap N       N handicap stones (0 an even game)\n"
    "  --limit N          at most N games\n";

bool IsDate(const std::string& d) {
    static const char kShape[] = "0000-00-00";
    if (d.size() != 4 && d.size() != 7 && d.size() != 10) {
        return false;
    }
    for (size_t i = 0; i < d.size(); ++i) {
        const bool digit = d[i] >= '0' && d[i] <= '9';
        if (kShape[i] == '0' ? !digit : d[i] != '-') {
            return false;
        }
    }
    return true;
}

// A condition of the query, with the values bound to its "?"s.
struct Query {
    std::string where = "r.error IS NULL";
    std::string match;
    std::vector<std::string> values;

    void Add(const std::string& sql, std::vector<std::string> v) {
        where += " AND " + sql;
        values.insert(values.end(), v.begin(), v.end());
    }
    // FTS5 for two characters or more; LIKE for a single one.
    void Name(const std::string& columns, const std::vector<const char*>& plain,
              const std::string& text) {
        const std::string phrase = PairPhrase(text);
        if (!phrase.empty()) {
            match += (match.empty() ? "" : " AND ") + columns + " : " + phrase;
            return;
        }
        std::string like = "(";
        std::string pattern = "%";
        for (char c : text) {
            if (c == '%' || c == '_' || c == '\\') {
                pattern += '\\';
            }
            pattern += c;
        }
        pattern += '%';
        std::vector<std::string> v;
        for (const char* column : plain) {
            like += std::string(v.empty() ? "" : " OR ") + "r." + column + " LIKE ? ESCAPE '\\'";
            v.push_back(pattern);
        }
        Add(like + ")", v);
    }
};

// Text the user typed, as UTF-8 like the index.
std::string TypedText(Tool& tool, const std::string& text, bool& ok) {
    ok = true;
    if (tool.Raw() || LocaleCharset() == "UTF-8") {
        return ValidUtf8(text);
    }
    std::string gbk, error;
    if (!tool.Input(text, Codepage::Gbk, gbk, error)) {
        ok = false;
        return text;
    }
    Converter utf8("UTF-8");
    return utf8.Decode(gbk, Codepage::Gbk);
}

std::string Column(sqlite3_stmt* stmt, int i) {
    const unsigned char* text = sqlite3_column_text(stmt, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void WriteJson(sqlite3_stmt* stmt) {
    std::string line = "{";
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        line += std::string(i ? "," : "") + JsonQuote(sqlite3_column_name(stmt, i)) + ":";
        switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL:
                line += "null";
                break;
            case SQLITE_INTEGER:
                line += std::to_string(sqlite3_column_int64(stmt, i));
                break;
            case SQLITE_FLOAT: {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.17g", sqlite3_column_double(stmt, i));
                line += buf;
                break;
            }
            default:
                line += JsonQuote(ValidUtf8(Column(stmt, i)));
        }
    }
    std::cout << line << "}\n";
}

int RunFind(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one index file");
    }
    Query q;
    bool ok = true;
    const std::pair<const char*, const char*> names[] = {{"--player", "{white black}"},
                                                         {"--white", "white"},
                                                         {"--black", "black"},
                                                         {"--name", "game"}};
    for (const auto& n : names) {
        if (!args.Has(n.first)) {
            continue;
        }
        const std::string text = TypedText(tool, args.Get(n.first), ok);
        if (!ok || text.empty()) {
            return tool.Usage(std::string(n.first) + " needs a text this tool can read");
        }
        const std::string option = n.first;
        std::vector<const char*> plain = {"white_name", "black_name"};
        if (option == "--white" || option == "--black" || option == "--name") {
            plain = {option == "--white"   ? "white_name"
                     : option == "--black" ? "black_name"
                                           : "game_name"};
        }
        q.Name(n.second, plain, text);
    }
    if (args.Has("--winner")) {
        const std::string w = args.Get("--winner");
        if (w != "white" && w != "black" && w != "draw") {
            return tool.Usage("--winner takes white, black or draw");
        }
        q.Add("r.winner = ?", {w});
    }
    for (const char* option : {"--from", "--to"}) {
        if (!args.Has(option)) {
            continue;
        }
        const std::string d = args.Get(option);
        if (!IsDate(d)) {
            return tool.Usage(std::string(option) + " takes YYYY, YYYY-MM or YYYY-MM-DD");
        }
        q.Add(std::string(option) == "--from"
                  ? "r.date_iso >= ?"
                  : "r.date_iso <= ?",  // "~" sorts after every character of a date
              {std::string(option) == "--from" ? d : d + "~"});
    }
    long number = 0;
    const std::pair<const char*, const char*> numbers[] = {{"--min-moves", "r.move_count >= ?"},
                                                           {"--handicap", "r.handicap = ?"}};
    for (const auto& n : numbers) {
        if (!args.Has(n.first)) {
            continue;
        }
        if (!ParseNumber(args.Get(n.first), 0, 1000000000L, number)) {
            return tool.Usage(std::string(n.first) + " needs a whole number");
        }
        q.Add(std::string(n.second), {std::to_string(number)});
    }
    long limit = -1;
    if (args.Has("--limit") && !ParseNumber(args.Get("--limit"), 0, 1000000000L, limit)) {
        return tool.Usage("--limit needs a whole number");
    }
    const std::string& dbPath = args.operands[0];
    IndexDb db;
    std::string notice, error;
    if (!db.Open(dbPath, false, notice, error)) {
        tool.Error(dbPath, error);
        return kExitFailed;
    }
    std::string sql = std::string("SELECT ") +
                      (tool.Json() ? "r.*"
                                   : "r.date_iso, r.white_name, r.black_name, r.result, "
                                     "r.game_name, r.path") +
                      " FROM records r WHERE " + q.where;
    if (!q.match.empty()) {
        sql += " AND r.id IN (SELECT rowid FROM game_text WHERE game_text MATCH ?)";
        q.values.push_back(q.match);
    }
    sql += " ORDER BY r.date_iso IS NULL, r.date_iso, r.path LIMIT " + std::to_string(limit);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        tool.Error(dbPath, db.Message());
        return kExitFailed;
    }
    for (size_t i = 0; i < q.values.size(); ++i) {
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), q.values[i].c_str(), -1, SQLITE_TRANSIENT);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (tool.Json()) {
            WriteJson(stmt);
            continue;
        }
        std::string fields[6];
        for (int i = 0; i < 6; ++i) {
            fields[i] = Column(stmt, i);
        }
        if (fields[0].size() > 10) {
            fields[0][10] = ' ';
        }
        std::cout << fields[0] << '\t' << fields[1] << '\t' << fields[2] << '\t' << fields[3]
                  << '\t' << fields[4] << '\t' << fields[5] << '\n';
    }
    sqlite3_finalize(stmt);
    std::cout.flush();
    if (rc != SQLITE_DONE) {
        tool.Error(dbPath, db.Message());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

Command FindCommand() {
    return {"find",
            "find games in an index database",
            kHelp,
            {{"--player", true},
             {"--white", true},
             {"--black", true},
             {"--winner", true},
             {"--from", true},
             {"--to", true},
             {"--name", true},
             {"--min-moves", true},
             {"--handicap", true},
             {"--limit", true}},
            RunFind};
}
