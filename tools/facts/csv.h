// Comma-separated values for export, as RFC 4180 writes them: fields separated by commas,
// every row ended by CR LF, a field in double quotes when it holds a comma, a double quote, CR
// or LF, with its double quotes doubled. Text is UTF-8; bytes that are not valid UTF-8 become
// U+FFFD, so that a damaged name cannot make the whole file unreadable. The caller writes the
// header row first with the same function.
#ifndef GIBO_TOOLS_FACTS_CSV_H
#define GIBO_TOOLS_FACTS_CSV_H

#include <string>
#include <vector>

namespace facts {

struct CsvOptions {
    // A field that a spreadsheet would run as a formula (one that begins with =, +, -, @, a
    // tab or CR, in ASCII or full width, and is not a plain number) gets a leading apostrophe:
    // the names and events in a record come from whoever wrote the record.
    bool guard_formulas = true;
};

std::string CsvField(const std::string& value, const CsvOptions& options = CsvOptions());
std::string CsvRow(const std::vector<std::string>& fields,
                   const CsvOptions& options = CsvOptions());

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_CSV_H
