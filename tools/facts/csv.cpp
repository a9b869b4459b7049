// CSV fields and rows.
#include "csv.h"

#include "utf8_text.h"

namespace facts {

namespace {

// [+-]digits[.digits]: a number, which a spreadsheet reads as a number and never runs. The text
// is not empty.
bool IsPlainNumber(const std::u32string& text) {
    size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

bool StartsFormula(const std::u32string& text) {
    if (text.empty()) {
        return false;
    }
    const char32_t first = NarrowForm(text[0]);
    const bool trigger = first == '=' || first == '+' || first == '-' || first == '@' ||
                         first == '\t' || first == '\r';
    return trigger && !IsPlainNumber(text);
}

}  // namespace

std::string CsvField(const std::string& value, const CsvOptions& options) {
    const std::u32string text = DecodeUtf8(value);
    std::string field = (options.guard_formulas && StartsFormula(text)) ? "'" : "";
    bool quote = false;
    for (char32_t cp : text) {
        quote = quote || cp == ',' || cp == '"' || cp == '\r' || cp == '\n';
        if (cp == '"') {
            field += '"';
        }
        AppendUtf8(field, cp);
    }
    return quote ? "\"" + field + "\"" : field;
}

std::string CsvRow(const std::vector<std::string>& fields, const CsvOptions& options) {
    std::string row;
    for (size_t i = 0; i < fields.size(); ++i) {
        row += (i > 0 ? "," : "") + CsvField(fields[i], options);
    }
    return row + "\r\n";
}

}  // namespace facts
