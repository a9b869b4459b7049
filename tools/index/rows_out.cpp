// Answers of the index printed as lines, JSON or CSV.
#include "index/rows_out.h"

#include <sqlite3.h>

#include <cstdio>
#include <iostream>

#include "bar_chart.h"
#include "cli/errors.h"
#include "csv.h"
#include "name_fold.h"
#include "text/converter.h"
#include "utf8_text.h"

namespace {

std::string Column(sqlite3_stmt* stmt, int i) {
    const unsigned char* text = sqlite3_column_text(stmt, i);
    return text ? reinterpret_cast<const char*>(text) : "";
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

// One JSON object of every column of the row.
void WriteJson(sqlite3_stmt* stmt) {
    std::string line = "{";
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        line += std::string(i ? "," : "") + JsonQuote(sqlite3_column_name(stmt, i)) + ":";
        const int type = sqlite3_column_type(stmt, i);
        if (type == SQLITE_FLOAT) {
            char number[32];
            std::snprintf(number, sizeof number, "%.17g", sqlite3_column_double(stmt, i));
            line += number;
        } else {
            line += type == SQLITE_NULL      ? "null"
                    : type == SQLITE_INTEGER ? std::to_string(sqlite3_column_int64(stmt, i))
                                             : JsonQuote(ValidUtf8(Column(stmt, i)));
        }
    }
    std::cout << line << "}\n";
}

void WriteLine(const Tool& tool, sqlite3_stmt* stmt) {
    std::string line;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        std::string field = Field(tool, Column(stmt, i));
        if (i == 0 && field.size() > 10 && field[10] == 'T') {
            field[10] = ' ';
        }
        line += (i ? "\t" : "") + field;
    }
    std::cout << line << '\n';
}

// A CSV row of the named columns, in their order.
void WriteCsv(sqlite3_stmt* stmt, const std::vector<std::string>& columns) {
    std::vector<std::string> fields;
    for (const std::string& name : columns) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            if (name == sqlite3_column_name(stmt, i)) {
                fields.push_back(Column(stmt, i));
            }
        }
    }
    std::cout << facts::CsvRow(fields);
}

// Text the user typed, as UTF-8 like the index; false when it cannot be read.
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

}  // namespace

int OpenSearch(Tool& tool, const Args& args, Search& search) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one index file");
    }
    std::string notice, error;
    facts::NameFolder folder;
    auto typed = [&tool, &folder](const std::string& text, std::string& key) {
        std::string utf8;
        return Typed(tool, text, utf8) && !(key = folder.Fold(utf8)).empty();
    };
    if (!BuildQuery(args, typed, search.q, error)) {
        return tool.Usage(error);
    }
    search.dbPath = args.operands[0];
    if (!search.db.Open(search.dbPath, false, notice, error)) {
        return tool.Fail(search.dbPath, error);
    }
    return kExitOk;
}

int PrintRows(Tool& tool, const Args& args, Search& search, const std::string& sql,
              const std::vector<std::string>& csvColumns) {
    const bool csv = args.Has("--csv");
    if (csv) {
        std::cout << facts::CsvRow(csvColumns);
    }
    const bool ok = search.db.EachRow(sql, search.q.values, [&](sqlite3_stmt* stmt) {
        csv ? WriteCsv(stmt, csvColumns) : tool.Json() ? WriteJson(stmt) : WriteLine(tool, stmt);
    });
    std::cout.flush();
    return ok ? kExitOk : tool.Fail(search.dbPath, search.db.Message());
}

int PrintChart(Tool& tool, Search& search, const std::string& sql, int label,
               const std::vector<int>& values, const std::vector<std::string>& series) {
    std::vector<facts::ChartRow> rows;
    const bool ok = search.db.EachRow(sql, search.q.values, [&](sqlite3_stmt* stmt) {
        rows.push_back({Column(stmt, label), {}});
        for (int v : values) {
            rows.back().values.push_back(sqlite3_column_int(stmt, v));
        }
    });
    facts::ChartStyle style;
    style.unicode = facts::CodesetIsUtf8(LocaleCharset());
    style.series = series;
    std::cout << tool.Harmless(facts::BarChart(rows, style));
    return ok ? kExitOk : tool.Fail(search.dbPath, search.db.Message());
}
