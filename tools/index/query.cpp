// Building find's query.
#include "index/query.h"

#include "index/search_terms.h"

namespace {

// --player, --white, --black, --name: the full-text columns and the plain ones.
bool AddNames(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    struct NameOption {
        const char* option;
        const char* columns;
        std::vector<const char*> plain;
    };
    const NameOption names[] = {{"--player", "{white black}", {"white_name", "black_name"}},
                                {"--white", "white", {"white_name"}},
                                {"--black", "black", {"black_name"}},
                                {"--name", "game", {"game_name"}}};
    for (const NameOption& n : names) {
        if (!args.Has(n.option)) {
            continue;
        }
        std::string text;
        if (!typed(args.Get(n.option), text) || text.empty()) {
            error = std::string(n.option) + " needs a text this tool can read";
            return false;
        }
        q.Name(n.columns, n.plain, text);
    }
    return true;
}

// --from and --to, both ends included.
bool AddDates(const Args& args, Query& q, std::string& error) {
    for (const std::string option : {"--from", "--to"}) {
        if (!args.Has(option)) {
            continue;
        }
        const std::string d = args.Get(option);
        if (!IsDate(d)) {
            error = option + " takes YYYY, YYYY-MM or YYYY-MM-DD";
            return false;
        }
        // "~" sorts after every character of a date: "2013" takes all of 2013.
        q.Add(option == "--from" ? "r.date_iso >= ?" : "r.date_iso <= ?",
              {option == "--from" ? d : d + "~"});
    }
    return true;
}

// --min-moves, --handicap and --limit.
bool AddNumbers(const Args& args, Query& q, std::string& error) {
    long number = 0;
    const std::pair<const char*, const char*> numbers[] = {{"--min-moves", "r.move_count >= ?"},
                                                           {"--handicap", "r.handicap = ?"}};
    for (const auto& n : numbers) {
        if (!args.Has(n.first)) {
            continue;
        }
        if (!ParseNumber(args.Get(n.first), 0, 1000000000L, number)) {
            error = std::string(n.first) + " needs a whole number";
            return false;
        }
        q.Add(std::string(n.second), {std::to_string(number)});
    }
    if (args.Has("--limit") && !ParseNumber(args.Get("--limit"), 0, 1000000000L, q.limit)) {
        error = "--limit needs a whole number";
        return false;
    }
    return true;
}

}  // namespace

void Query::Add(const std::string& sql, std::vector<std::string> v) {
    where += " AND " + sql;
    values.insert(values.end(), v.begin(), v.end());
}

void Query::Name(const std::string& columns, const std::vector<const char*>& plain,
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

std::string Query::Sql(bool all) {
    std::string sql = std::string("SELECT ") +
                      (all ? "r.*"
                           : "r.date_iso, r.white_name, r.black_name, r.result, r.game_name, "
                             "r.path") +
                      " FROM records r WHERE " + where;
    if (!match.empty()) {
        sql += " AND r.id IN (SELECT rowid FROM game_text WHERE game_text MATCH ?)";
        values.push_back(match);
    }
    return sql + " ORDER BY r.date_iso IS NULL, r.date_iso, r.path LIMIT " + std::to_string(limit);
}

bool BuildQuery(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    if (!AddNames(args, typed, q, error)) {
        return false;
    }
    if (args.Has("--winner")) {
        const std::string w = args.Get("--winner");
        if (w != "white" && w != "black" && w != "draw") {
            error = "--winner takes white, black or draw";
            return false;
        }
        q.Add("r.winner = ?", {w});
    }
    return AddDates(args, q, error) && AddNumbers(args, q, error);
}

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
