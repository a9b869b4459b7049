// Several records in one run: the operands and the records found under -r DIR, and a
// progress line on stderr while a long batch runs on a terminal.
#ifndef GIBO_TOOLS_BATCH_H
#define GIBO_TOOLS_BATCH_H

#include <string>
#include <vector>

// Operands in the order given, then for each -r DIR the files below it whose name ends in
// ".gib" (any case), sorted. False with a message when a directory cannot be read or there
// is no record at all.
bool CollectRecords(const std::vector<std::string>& operands, const std::vector<std::string>& dirs,
                    std::vector<std::string>& records, std::string& error);

class Progress {
public:
    explicit Progress(size_t total);
    ~Progress() { Clear(); }
    void Show(size_t done, const std::string& name);  // before a record is processed
    void Clear();                                     // before anything else is written

private:
    size_t m_total;
    bool m_active;
    bool m_shown = false;
};

#endif  // GIBO_TOOLS_BATCH_H
