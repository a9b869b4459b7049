// The index database: one SQLite file, schema versioned with PRAGMA user_version and marked as
// ours with PRAGMA application_id, so that another program's database is never taken for an
// index nor rebuilt. The layout is described in docs/collection.md.
#ifndef GIBO_TOOLS_INDEX_INDEX_DB_H
#define GIBO_TOOLS_INDEX_INDEX_DB_H

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Every column of a row of records r, as find prints it: the options as their text.
std::string RowColumnsSql();

// One value of a column: NULL, a whole number, a real number or a UTF-8 text.
struct Cell {
    enum Kind { kNull, kInt, kReal, kText } kind = kNull;
    long long i = 0;
    double r = 0;
    std::string s;
    static Cell Int(long long v) { return {kInt, v, 0, std::string()}; }
    static Cell Real(double v) { return {kReal, 0, v, std::string()}; }
    static Cell Text(std::string v) { return {kText, 0, 0, std::move(v)}; }
};

// A record's row: its columns by name, its header items in file order, and the texts its
// players and game are searched by.
struct IndexRow {
    std::string path;
    std::map<std::string, Cell> columns;
    std::vector<std::pair<std::string, std::string>> items;
};

class IndexDb {
public:
    IndexDb() = default;
    ~IndexDb();
    IndexDb(const IndexDb&) = delete;
    IndexDb& operator=(const IndexDb&) = delete;

    // path is always a file's name, never an SQLite URI or ":memory:"; it must be a regular file
    // (or, to write, a new name). write: creates the file or rebuilds an index of an older schema
    // (saying so in notice); read: an index of this schema only, also where this user cannot
    // write beside it (read-only media, another user's index). False with a message; the file
    // is then unchanged.
    bool Open(const std::string& path, bool write, std::string& notice, std::string& error);
    // While another run holds the lock, the wait ends early once stop() says so.
    void StopWhen(bool (*stop)()) { m_stop = stop; }

    // What the index holds of a record, to tell whether it must be read again.
    struct Known {
        long long id;
        long long size;
        long long mtime;
        bool stale;  // stored with its error, or read with other options than those given
    };
    bool LoadKnown(const std::string& options, std::map<std::string, Known>& known,
                   std::string& error);

    bool Begin(std::string& error);
    bool Commit(std::string& error);
    void Rollback();

    // Replaces the row of the same path, if any.
    bool Store(const IndexRow& row, std::string& error);
    // Removes the row of id if it still holds path: another run may have given the id to
    // another record since it was read.
    bool Remove(long long id, const std::string& path, std::string& error);

    // Runs sql with values bound in order, calling row for each row; false when the database
    // fails (Message() says why).
    bool EachRow(const std::string& sql, const std::vector<std::string>& values,
                 const std::function<void(sqlite3_stmt*)>& row);
    // The database's last message, with the system's reason where there is one.
    std::string Message() const;

private:
    // What the file says of itself: whether it is an index of this tool, of which schema, and
    // how many tables it holds.
    struct Marks {
        bool ours = false;
        int version = 0;
        int tables = 0;
    };
    bool Connect(const std::string& name, int flags, std::string& error);
    void Close();
    bool ReadMarks(Marks& marks, std::string& error);
    bool ReadWithoutWriting(const std::string& path, Marks& marks);
    bool InsertItems(long long id, const IndexRow& row, std::string& error);
    // The statements a writing run prepares once; kStatementSql in index_db.cpp.
    enum Statement {
        kInsert,
        kInsertItem,
        kInsertTag,
        kTagId,
        kInsertOptions,
        kOptionsId,
        kInsertText,
        kSelectKeys,
        kDeleteText,
        kDeleteItems,
        kDelete,
        kFindPath,
        kStatements
    };
    // The number of a text of the options or tags table (insert, then insert + 1 to read it),
    // stored there when new; known holds the numbers met before.
    bool IdOf(Statement insert, std::map<std::string, long long>& known, const std::string& text,
              long long& id, std::string& error);
    bool BindColumns(const IndexRow& row, std::string& error);
    static int OnBusy(void* self, int tries);
    bool PrepareForWriting(const Marks& marks, std::string& notice, std::string& error);
    // ok, setting error to the database's message when not.
    bool Check(bool ok, std::string& error) const;
    bool Exec(const char* sql, std::string& error);
    bool Prepare(sqlite3_stmt*& stmt, const char* sql, std::string& error);
    bool DropAll(std::string& error);
    bool CreateSchema(std::string& error);
    bool Step(sqlite3_stmt* stmt, std::string& error);

    sqlite3* m_db = nullptr;
    bool (*m_stop)() = nullptr;
    sqlite3_stmt* m_stmt[kStatements] = {};
    // Numbers known in this connection, forgotten on a rollback that may have undone them.
    std::map<std::string, long long> m_tagIds;
    std::map<std::string, long long> m_optionsIds;
    std::unordered_map<std::string, int> m_params;  // the insert's parameter of each column
};

// Writes in transactions of a fixed number of changes.
class TransactionBatch {
public:
    TransactionBatch(IndexDb& db, long size) : m_db(db), m_size(size) {}
    // Before a change: opens a transaction unless one is open.
    bool Open(std::string& error) { return m_open || (m_open = m_db.Begin(error)); }
    // After a change: commits when the batch is full.
    bool Done(std::string& error) { return ++m_count < m_size || Commit(error); }
    // Commits what is open; a failed commit is rolled back.
    bool Commit(std::string& error);

private:
    IndexDb& m_db;
    long m_size;
    long m_count = 0;
    bool m_open = false;
};

#endif  // GIBO_TOOLS_INDEX_INDEX_DB_H
