// Building find's query.
#include "index/query.h"

#include "index/index_db.h"
#include "index/search_terms.h"

namespace {

// Where a side's names are: its full-text column and its plain key column.
struct SideColumns {
    const char* text;
    const char* plain;
};
const SideColumns kWhite = {"white", "white_keys"};
const SideColumns kBlack = {"black", "black_keys"};

Condition Player(const SideColumns& side, const std::string& key) {
    return KeyIn(side.text, {side.plain}, key);
}

Condition Join(const Condition& a, const char* op, const Condition& b) {
    Condition c{"(" + a.sql + " " + op + " " + b.sql + ")", a.values};
    c.values.insert(c.values.end(), b.values.begin(), b.values.end());
    return c;
}

bool Key(const TypedText& typed, const std::string& option, const std::string& text,
         std::string& key, std::string& error) {
    if (!typed(text, key) || key.empty()) {
        error = option + " needs a text this tool can read";
        return false;
    }
    return true;
}

// --player (repeatable), --white, --black, --event (or --name), --place, --text.
bool AddTexts(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    struct TextOption {
        const char* option;
        const char* columns;
        std::vector<const char*> plain;
    };
    const TextOption texts[] = {
        {"--player", "{white black}", {"white_keys", "black_keys"}},
        {"--white", "white", {"white_keys"}},
        {"--black", "black", {"black_keys"}},
        {"--event", "game", {"event_keys"}},
        {"--name", "game", {"event_keys"}},
        {"--place", "place", {"place_keys"}},
        {"--text",
         "{white black game place text}",
         {"white_keys", "black_keys", "event_keys", "place_keys", "text_keys"}}};
    for (const TextOption& t : texts) {
        for (const std::string& text : args.GetAll(t.option)) {
            std::string key;
            if (!Key(typed, t.option, text, key, error)) {
                return false;
            }
            q.Add(KeyIn(t.columns, t.plain, key));
        }
    }
    return true;
}

// --winner and --loser: a colour (white, black, draw) or a player's name.
bool AddOutcome(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    for (const std::string option : {"--winner", "--loser"}) {
        if (!args.Has(option)) {
            continue;
        }
        const std::string v = args.Get(option);
        const bool winner = option == "--winner";
        if (v == "draw" && !winner) {
            error = "--loser takes white, black or a player's name: a draw has no loser";
            return false;
        }
        if (v == "white" || v == "black" || v == "draw") {
            q.Add({"r.winner = ?", {winner ? v : v == "white" ? "black" : "white"}});
            continue;
        }
        std::string key;
        if (!Key(typed, option, v, key, error)) {
            return false;
        }
        const Condition asWhite{std::string("r.winner = '") + (winner ? "white" : "black") + "'",
                                {}};
        const Condition asBlack{std::string("r.winner = '") + (winner ? "black" : "white") + "'",
                                {}};
        q.Add(Join(Join(asWhite, "AND", Player(kWhite, key)), "OR",
                   Join(asBlack, "AND", Player(kBlack, key))));
    }
    return true;
}

// --vs A B: the games of the two, either colour.
bool AddVs(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    const std::vector<std::string> names = args.GetAll("--vs");
    if (names.size() != 2) {
        return true;
    }
    std::string a, b;
    if (!Key(typed, "--vs", names[0], a, error) || !Key(typed, "--vs", names[1], b, error)) {
        return false;
    }
    q.Add(Join(Join(Player(kWhite, a), "AND", Player(kBlack, b)), "OR",
               Join(Player(kBlack, a), "AND", Player(kWhite, b))));
    return true;
}

// --from, --to and --date, both ends included.
bool AddDates(const Args& args, Query& q, std::string& error) {
    for (const std::string option : {"--from", "--to", "--date"}) {
        if (!args.Has(option)) {
            continue;
        }
        const std::string d = args.Get(option);
        if (!IsDate(d)) {
            error = option + " takes YYYY, YYYY-MM or YYYY-MM-DD";
            return false;
        }
        // "~" sorts after every character of a date: "2013" takes all of 2013.
        if (option != "--to") {
            q.Add({"r.date_iso >= ?", {d}});
        }
        if (option != "--from") {
            q.Add({"r.date_iso <= ?", {d + "~"}});
        }
    }
    return true;
}

// --result, --min-moves, --handicap and --limit.
bool AddNumbers(const Args& args, Query& q, std::string& error) {
    if (args.Has("--result")) {
        const std::string kind = args.Get("--result");
        if (kind != "points" && kind != "resignation" && kind != "time" && kind != "forfeit" &&
            kind != "draw" && kind != "unknown") {
            error = "--result takes points, resignation, time, forfeit, draw or unknown";
            return false;
        }
        q.Add(kind == "unknown" ? Condition{"r.result_kind IS NULL", {}}
                                : Condition{"r.result_kind = ?", {kind}});
    }
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
        q.Add({n.second, {std::to_string(number)}});
    }
    if (args.Has("--limit") && !ParseNumber(args.Get("--limit"), 0, 1000000000L, q.limit)) {
        error = "--limit needs a whole number";
        return false;
    }
    return true;
}

}  // namespace

void Query::Add(const Condition& c) {
    where += " AND " + c.sql;
    values.insert(values.end(), c.values.begin(), c.values.end());
}

Condition KeyIn(const std::string& columns, const std::vector<const char*>& plain,
                const std::string& key) {
    const std::string phrase = PairPhrase(key);
    if (!phrase.empty()) {
        return {"r.id IN (SELECT rowid FROM game_text WHERE game_text MATCH ?)",
                {columns + " : " + phrase}};
    }
    std::string pattern = "%";
    for (char c : key) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    pattern += '%';
    Condition like{"(", {}};
    for (const char* column : plain) {
        like.sql +=
            std::string(like.values.empty() ? "" : " OR ") + "r." + column + " LIKE ? ESCAPE '\\'";
        like.values.push_back(pattern);
    }
    like.sql += ")";
    return like;
}

std::string Query::Sql(bool all) const {
    return std::string("SELECT ") +
           (all ? RowColumnsSql()
                : "r.date_iso, r.white_name, r.black_name, COALESCE(r.result, r.result_text), "
                  "r.game_name, r.path") +
           " FROM records r WHERE " + where +
           " ORDER BY r.date_iso IS NULL, r.date_iso, r.path LIMIT " + std::to_string(limit);
}

bool BuildQuery(const Args& args, const TypedText& typed, Query& q, std::string& error) {
    return AddTexts(args, typed, q, error) && AddVs(args, typed, q, error) &&
           AddOutcome(args, typed, q, error) && AddDates(args, q, error) &&
           AddNumbers(args, q, error);
}

const std::vector<OptionSpec>& FindOptions() {
    static const std::vector<OptionSpec> options = {
        {"--player", true, true}, {"--white", true},
        {"--black", true},        {"--vs", true, false, true},
        {"--winner", true},       {"--loser", true},
        {"--result", true},       {"--date", true},
        {"--from", true},         {"--to", true},
        {"--event", true},        {"--name", true},
        {"--place", true},        {"--text", true},
        {"--min-moves", true},    {"--handicap", true},
        {"--limit", true},        {"--csv", false},
        {"--chart", false}};
    return options;
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
