// gibo find: answers questions about a collection from its index.
#include <sqlite3.h>

#include <cstdio>
#include <iostream>

#include "cli/command.h"
#include "cli/errors.h"
#include "index/index_db.h"
#include "index/query.h"

namespace {

const char kHelp[] =
    "Usage: gibo find [OPTIONS] DB\n"
    "\n"
    "Lists the games of the index DB (made by 'gibo index') that match every condition given,\n"
    "by date: one line per game with date, white, black, result, game name and path, tab\n"
    "separated (control characters, tabs and line ends in a field written as \\xNN), or with\n"
    "--json one object per game with every column of the index. Names are found by any part of\n"
    "two or more characters (a single character is looked for as well, more slowly); ASCII\n"
    "letters match in either case. Only read access to DB is needed.\n"
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

// Text the user typed, as UTF-8 like the index.
bool Typed(Tool& tool, const std::string& text, std::string& utf8) {
    if (tool.Raw() || LocaleCharset() == "UTF-8") {
        utf8 = ValidUtf8(text);
        return true;
    }
    std::string gbk, error;
    if (!tool.Input(text, Codepage::Gbk, gbk, error)) {
        return false;
    }
    Converter converter("UTF-8");
    utf8 = converter.Decode(gbk, Codepage::Gbk);
    return true;
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

// A field of a line: control characters escaped as show escapes them, so that a record or a
// file name sends no escape sequence; tabs and line ends too, so that a game is one line.
std::string Field(const Tool& tool, const std::string& text) {
    std::string field;
    for (char c : text) {
        field += c == '\t' ? "\\x09" : c == '\n' ? "\\x0A" : std::string(1, c);
    }
    return tool.Harmless(field);
}

// One line of a game: date, white, black, result, game name and path, tab separated.
void WriteLine(const Tool& tool, sqlite3_stmt* stmt) {
    std::string fields[6];
    for (int i = 0; i < 6; ++i) {
        fields[i] = Field(tool, Column(stmt, i));
    }
    if (fields[0].size() > 10) {
        fields[0][10] = ' ';
    }
    std::cout << fields[0] << '\t' << fields[1] << '\t' << fields[2] << '\t' << fields[3] << '\t'
              << fields[4] << '\t' << fields[5] << '\n';
}

// Runs the query and prints its games. False when the database fails.
bool PrintGames(Tool& tool, IndexDb& db, Query& q) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), q.Sql(tool.Json()).c_str(), -1, &stmt, nullptr) !=
        SQLITE_OK) {
        return false;
    }
    for (size_t i = 0; i < q.values.size(); ++i) {
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), q.values[i].c_str(), -1, SQLITE_TRANSIENT);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        tool.Json() ? WriteJson(stmt) : WriteLine(tool, stmt);
    }
    sqlite3_finalize(stmt);
    std::cout.flush();
    return rc == SQLITE_DONE;
}

int RunFind(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one index file");
    }
    Query q;
    std::string notice, error;
    auto typed = [&tool](const std::string& text, std::string& utf8) {
        return Typed(tool, text, utf8);
    };
    if (!BuildQuery(args, typed, q, error)) {
        return tool.Usage(error);
    }
    const std::string& dbPath = args.operands[0];
    IndexDb db;
    if (!db.Open(dbPath, false, notice, error)) {
        return tool.Fail(dbPath, error);
    }
    if (!PrintGames(tool, db, q)) {
        return tool.Fail(dbPath, db.Message());
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
