// Several records in one run: the operands and the records found under -r DIR, and a
// progress line on stderr while a long batch runs on a terminal.
#ifndef GIBO_TOOLS_CLI_BATCH_H
#define GIBO_TOOLS_CLI_BATCH_H

#include <chrono>
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

// A progress line on stderr while a batch runs, on a terminal only.
class Progress {
public:
    // total records; below from of them a line would only flicker.
    explicit Progress(size_t total, size_t from = 10);
    ~Progress() { Clear(); }
    void Show(size_t done, const std::string& name);  // before a record: "[3/12] NAME"
    // After done records: "[3/12] 250 records/s, 1 errors", at most five times a second
    // unless forced.
    void ShowRate(size_t done, size_t errors, bool force = false);
    void Clear();  // before anything else is written

private:
    void Write(const std::string& line);

    size_t m_total;
    bool m_active;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_last;
};

#endif  // GIBO_TOOLS_CLI_BATCH_H
