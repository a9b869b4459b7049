// Several records in one run: the operands and the records found under -r DIR, and a
// progress line on stderr while a long batch runs on a terminal.
#ifndef GIBO_TOOLS_CLI_BATCH_H
#define GIBO_TOOLS_CLI_BATCH_H

#include <string>
#include <vector>

struct Unreadable {
    std::string path;
    std::string reason;
};

// Every file below dir whose name ends in ".gib" (any case), sorted; symbolic links to
// directories are not followed, and one directory is open at a time whatever the depth. A
// directory that cannot be read goes to unreadable with the system's reason.
void FindRecordsBelow(const std::string& dir, std::vector<std::string>& found,
                      std::vector<Unreadable>& unreadable);

// Operands in the order given, then for each -r DIR the files below it whose name ends in
// ".gib" (any case), sorted. A subdirectory that cannot be read, and a DIR without records,
// go to unreadable, to be reported with the records' failures. False with a usage message
// when nothing is given or a DIR is no directory.
bool CollectRecords(const std::vector<std::string>& operands, const std::vector<std::string>& dirs,
                    std::vector<std::string>& records, std::vector<Unreadable>& unreadable,
                    std::string& error);

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

#endif  // GIBO_TOOLS_CLI_BATCH_H
