// A record's row for the index: read through the library the way `gibo show` reads it, its
// header items and display texts in UTF-8, and the typed facts a search filters on.
#ifndef GIBO_TOOLS_INDEX_RECORD_ROW_H
#define GIBO_TOOLS_INDEX_RECORD_ROW_H

#include <string>
#include <vector>

#include "cli/tool.h"
#include "index/index_db.h"
#include "index/record_facts.h"
#include "name_fold.h"
#include "record/loading.h"

class RowMaker {
public:
    // tool: --encoding and --nation of the run.
    explicit RowMaker(Tool& tool);

    // Fills row.columns from the record at path, read without side files. False when the
    // record cannot be read: the row then holds the error.
    bool Make(const std::string& path, IndexRow& row, std::string& error);
    // The header bytes of the last record made that were not valid in its code page (stored
    // as \xNN).
    size_t Invalid() const { return m_invalid; }
    // The options of the run that change what Make stores, as one text: a record stored with
    // other options is read again.
    std::string Options() const;

private:
    void Describe(ScannedRecord& loaded, IndexRow& row);
    void AddFacts(const RecordFacts& facts, IndexRow& row);
    std::string Keys(const std::vector<std::string>& texts);

    Tool& m_tool;
    Tool m_utf8;  // display texts exactly as `gibo show --json` writes them
    Converter m_conv;
    facts::NameFolder m_folder;
    size_t m_invalid = 0;
};

#endif  // GIBO_TOOLS_INDEX_RECORD_ROW_H
