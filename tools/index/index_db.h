// The index database: one SQLite file, schema versioned with PRAGMA user_version and marked as
// ours with PRAGMA application_id, so that another program's database is never taken for an
// index nor rebuilt. The layout is described in the README ("gibo index and gibo find").
#ifndef GIBO_TOOLS_INDEX_INDEX_DB_H
#define GIBO_TOOLS_INDEX_INDEX_DB_H

#include <map>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One value of a column: NULL, a whole number, a real number or a UTF-8 text.
struct Cell {
    enum Kind { kNull, kInt, kReal, kText } kind = kNull;
    long long i = 0;
    double r = 0;
    std::string s;
    static Cell Int(long long v);
    static Cell Real(double v);
    static Cell Text(std::string v);
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

    // write: creates the file or rebuilds an index of an older schema (saying so in notice);
    // read: an index of this schema only. False with a message; the file is then unchanged.
    bool Open(const std::string& path, bool write, std::string& notice, std::string& error);

    struct Known {
        long long id;
        long long size;
        long long mtime;
    };
    bool LoadKnown(std::map<std::string, Known>& known, std::string& error);

    bool Begin(std::string& error);
    bool Commit(std::string& error);
    void Rollback();

    // Replaces the row of the same path, if any.
    bool Store(const IndexRow& row, std::string& error);
    bool Remove(long long id, std::string& error);

    sqlite3* Handle() { return m_db; }
    // The database's last message, with the system's reason where there is one.
    std::string Message() const;

private:
    bool Exec(const char* sql, std::string& error);
    bool Prepare(sqlite3_stmt*& stmt, const char* sql, std::string& error);
    bool CreateSchema(std::string& error);
    bool Step(sqlite3_stmt* stmt, std::string& error);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_insertItem = nullptr;
    sqlite3_stmt* m_insertText = nullptr;
    sqlite3_stmt* m_select = nullptr;
    sqlite3_stmt* m_deleteText = nullptr;
    sqlite3_stmt* m_deleteItems = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_findPath = nullptr;
};

#endif  // GIBO_TOOLS_INDEX_INDEX_DB_H
