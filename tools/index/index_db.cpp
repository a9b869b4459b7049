// The index database through the SQLite C interface.
#include "index/index_db.h"

#include <sqlite3.h>

#include <cstring>

#include "index/search_terms.h"

namespace {

// "gibo" in ASCII: marks the file as an index of this tool.
const int kApplicationId = 0x6769626f;
// 1: records, header_items, game_text.
const int kSchemaVersion = 1;

const char kSchema[] =
    "CREATE TABLE records("
    " id INTEGER PRIMARY KEY,"
    " path TEXT NOT NULL UNIQUE,"
    " size INTEGER NOT NULL,"
    " mtime INTEGER NOT NULL,"
    " error_code INTEGER,"
    " error TEXT,"
    " type INTEGER,"
    " codepage TEXT,"
    " codepage_reason TEXT,"
    " body_records INTEGER,"
    " audio_bytes INTEGER,"
    " info_format TEXT,"
    " white TEXT, white_short TEXT, black TEXT, black_short TEXT, game_type TEXT,"
    " game_name TEXT, date TEXT, time TEXT, time_short TEXT, condition TEXT, result TEXT,"
    " moves TEXT, title TEXT,"
    " white_name TEXT, white_level INTEGER, black_name TEXT, black_level INTEGER,"
    " winner TEXT, margin REAL, date_iso TEXT, move_count INTEGER, handicap INTEGER,"
    " komi INTEGER, rule INTEGER);"
    "CREATE INDEX records_date ON records(date_iso);"
    "CREATE TABLE header_items("
    " record_id INTEGER NOT NULL, seq INTEGER NOT NULL, tag TEXT NOT NULL, value TEXT NOT NULL,"
    " PRIMARY KEY(record_id, seq)) WITHOUT ROWID;"
    "CREATE VIRTUAL TABLE game_text USING fts5(white, black, game, content='',"
    " tokenize='unicode61');";

const char* const kColumns[] = {"path",         "size",        "mtime",       "error_code",
                                "error",        "type",        "codepage",    "codepage_reason",
                                "body_records", "audio_bytes", "info_format", "white",
                                "white_short",  "black",       "black_short", "game_type",
                                "game_name",    "date",        "time",        "time_short",
                                "condition",    "result",      "moves",       "title",
                                "white_name",   "white_level", "black_name",  "black_level",
                                "winner",       "margin",      "date_iso",    "move_count",
                                "handicap",     "komi",        "rule"};

std::string InsertSql() {
    std::string names, values;
    for (const char* c : kColumns) {
        names += std::string(names.empty() ? "" : ",") + c;
        values += std::string(values.empty() ? ":" : ",:") + c;
    }
    return "INSERT INTO records(" + names + ") VALUES(" + values + ")";
}

std::string ColumnText(sqlite3_stmt* stmt, int i) {
    const unsigned char* text = sqlite3_column_text(stmt, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

IndexDb::~IndexDb() {
    for (sqlite3_stmt* s : {m_insert, m_insertItem, m_insertText, m_select, m_deleteText,
                            m_deleteItems, m_delete, m_findPath}) {
        sqlite3_finalize(s);
    }
    if (m_db) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
}

std::string IndexDb::Message() const {
    if (!m_db) {
        return "out of memory";
    }
    std::string message = sqlite3_errmsg(m_db);
    const int code = sqlite3_extended_errcode(m_db);
    const int sys = sqlite3_system_errno(m_db);
    if (sys != 0 && (code & 0xff) == SQLITE_IOERR) {
        message += std::string(" (") + std::strerror(sys) + ")";
    }
    return message;
}

bool IndexDb::Exec(const char* sql, std::string& error) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = Message();
        return false;
    }
    return true;
}

bool IndexDb::Prepare(sqlite3_stmt*& stmt, const char* sql, std::string& error) {
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        error = Message();
        return false;
    }
    return true;
}

bool IndexDb::Step(sqlite3_stmt* stmt, std::string& error) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        error = Message();
        return false;
    }
    return true;
}

bool IndexDb::CreateSchema(std::string& error) {
    const std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                ";PRAGMA user_version=" + std::to_string(kSchemaVersion);
    return Exec("BEGIN IMMEDIATE", error) &&
           Exec(
               "DROP TABLE IF EXISTS game_text;DROP TABLE IF EXISTS header_items;"
               "DROP TABLE IF EXISTS records",
               error) &&
           Exec(kSchema, error) && Exec(pragmas.c_str(), error) && Exec("COMMIT", error);
}

// Reading the marks is the first access: a file that is not SQLite fails here, untouched.
bool IndexDb::ReadMarks(Marks& marks, std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    if (!Prepare(stmt,
                 "SELECT (SELECT application_id FROM pragma_application_id),"
                 " (SELECT user_version FROM pragma_user_version),"
                 " (SELECT count(*) FROM sqlite_schema)",
                 error)) {
        error = (sqlite3_errcode(m_db) == SQLITE_NOTADB ? "not an index: "
                                                        : "cannot read the index: ") +
                error;
        return false;
    }
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        marks.ours = sqlite3_column_int(stmt, 0) == kApplicationId;
        marks.version = sqlite3_column_int(stmt, 1);
        marks.tables = sqlite3_column_int(stmt, 2);
    }
    sqlite3_finalize(stmt);
    if (marks.tables > 0 && !marks.ours) {
        error = "not an index of gibo (another program's database); left unchanged";
        return false;
    }
    if (marks.ours && marks.version > kSchemaVersion) {
        error = "made by a newer gibo (schema " + std::to_string(marks.version) +
                ", this one reads " + std::to_string(kSchemaVersion) + "); left unchanged";
        return false;
    }
    return true;
}

// An index of an older schema is rebuilt, saying so in notice.
bool IndexDb::PrepareForWriting(const Marks& marks, std::string& notice, std::string& error) {
    // WAL: readers go on while a run writes, and a run that dies leaves the last commit.
    if (!Exec("PRAGMA journal_mode=WAL;PRAGMA synchronous=NORMAL", error)) {
        error = "cannot write the index: " + error;
        return false;
    }
    if (!marks.ours || marks.version < kSchemaVersion) {
        if (marks.ours) {
            notice = "index made by an older gibo (schema " + std::to_string(marks.version) +
                     "): rebuilding it";
        }
        if (!CreateSchema(error)) {
            Rollback();
            error = "cannot write the index: " + error;
            return false;
        }
    }
    return Prepare(m_insert, InsertSql().c_str(), error) &&
           Prepare(m_insertItem, "INSERT INTO header_items VALUES(?,?,?,?)", error) &&
           Prepare(m_insertText, "INSERT INTO game_text(rowid,white,black,game) VALUES(?,?,?,?)",
                   error) &&
           Prepare(m_select, "SELECT white_name,black_name,game_name FROM records WHERE id=?",
                   error) &&
           Prepare(m_deleteText,
                   "INSERT INTO game_text(game_text,rowid,white,black,game)"
                   " VALUES('delete',?,?,?,?)",
                   error) &&
           Prepare(m_deleteItems, "DELETE FROM header_items WHERE record_id=?", error) &&
           Prepare(m_delete, "DELETE FROM records WHERE id=?", error) &&
           Prepare(m_findPath, "SELECT id FROM records WHERE path=?", error);
}

bool IndexDb::Open(const std::string& path, bool write, std::string& notice, std::string& error) {
    const int flags = write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open the index: " + Message();
        return false;
    }
    sqlite3_busy_timeout(m_db, 10000);
    if (write && sqlite3_db_readonly(m_db, "main") == 1) {
        error = "the index is read-only";
        return false;
    }
    Marks marks;
    if (!ReadMarks(marks, error)) {
        return false;
    }
    if (write) {
        return PrepareForWriting(marks, notice, error);
    }
    if (!marks.ours || marks.version < kSchemaVersion) {
        error = marks.tables == 0
                    ? "not an index (empty database)"
                    : "made by an older gibo (schema " + std::to_string(marks.version) +
                          "); run 'gibo index' on it to rebuild it";
        return false;
    }
    return true;
}

bool IndexDb::LoadKnown(std::map<std::string, Known>& known, std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    if (!Prepare(stmt, "SELECT path,id,size,mtime FROM records", error)) {
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        known[ColumnText(stmt, 0)] = {sqlite3_column_int64(stmt, 1), sqlite3_column_int64(stmt, 2),
                                      sqlite3_column_int64(stmt, 3)};
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        error = Message();
        return false;
    }
    return true;
}

bool IndexDb::Begin(std::string& error) {
    return Exec("BEGIN IMMEDIATE", error);
}

bool IndexDb::Commit(std::string& error) {
    return Exec("COMMIT", error);
}

void IndexDb::Rollback() {
    if (m_db && !sqlite3_get_autocommit(m_db)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool IndexDb::Remove(long long id, std::string& error) {
    // A contentless full-text table forgets a row only when given the tokens it was given.
    sqlite3_bind_int64(m_select, 1, id);
    std::string texts[3];
    const int rc = sqlite3_step(m_select);
    if (rc == SQLITE_ROW) {
        for (int i = 0; i < 3; ++i) {
            texts[i] = ColumnText(m_select, i);
        }
    }
    sqlite3_reset(m_select);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        error = Message();
        return false;
    }
    sqlite3_bind_int64(m_deleteText, 1, id);
    for (int i = 0; i < 3; ++i) {
        sqlite3_bind_text(m_deleteText, i + 2, PairTokens(texts[i]).c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_bind_int64(m_deleteItems, 1, id);
    sqlite3_bind_int64(m_delete, 1, id);
    return (rc == SQLITE_DONE || Step(m_deleteText, error)) && Step(m_deleteItems, error) &&
           Step(m_delete, error);
}

bool IndexDb::Store(const IndexRow& row, std::string& error) {
    sqlite3_bind_text(m_findPath, 1, row.path.c_str(), -1, SQLITE_TRANSIENT);
    const int found = sqlite3_step(m_findPath);
    const long long oldId = found == SQLITE_ROW ? sqlite3_column_int64(m_findPath, 0) : 0;
    sqlite3_reset(m_findPath);
    if (found != SQLITE_ROW && found != SQLITE_DONE) {
        error = Message();
        return false;
    }
    if (found == SQLITE_ROW && !Remove(oldId, error)) {
        return false;
    }
    sqlite3_clear_bindings(m_insert);
    for (const auto& column : row.columns) {
        const std::string name = ":" + column.first;
        const int i = sqlite3_bind_parameter_index(m_insert, name.c_str());
        const Cell& c = column.second;
        if (i == 0) {
            continue;
        }
        if (c.kind == Cell::kInt) {
            sqlite3_bind_int64(m_insert, i, c.i);
        } else if (c.kind == Cell::kReal) {
            sqlite3_bind_double(m_insert, i, c.r);
        } else if (c.kind == Cell::kText) {
            sqlite3_bind_text(m_insert, i, c.s.c_str(), static_cast<int>(c.s.size()),
                              SQLITE_TRANSIENT);
        }
    }
    sqlite3_bind_text(m_insert, sqlite3_bind_parameter_index(m_insert, ":path"), row.path.c_str(),
                      static_cast<int>(row.path.size()), SQLITE_TRANSIENT);
    if (!Step(m_insert, error)) {
        return false;
    }
    const long long id = sqlite3_last_insert_rowid(m_db);
    for (size_t seq = 0; seq < row.items.size(); ++seq) {
        sqlite3_bind_int64(m_insertItem, 1, id);
        sqlite3_bind_int64(m_insertItem, 2, static_cast<long long>(seq));
        sqlite3_bind_text(m_insertItem, 3, row.items[seq].first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(m_insertItem, 4, row.items[seq].second.c_str(), -1, SQLITE_TRANSIENT);
        if (!Step(m_insertItem, error)) {
            return false;
        }
    }
    const char* const textColumns[] = {"white_name", "black_name", "game_name"};
    sqlite3_bind_int64(m_insertText, 1, id);
    for (int i = 0; i < 3; ++i) {
        const auto it = row.columns.find(textColumns[i]);
        const std::string tokens = it == row.columns.end() ? "" : PairTokens(it->second.s);
        sqlite3_bind_text(m_insertText, i + 2, tokens.c_str(), -1, SQLITE_TRANSIENT);
    }
    return Step(m_insertText, error);
}

bool TransactionBatch::Commit(std::string& error) {
    m_count = 0;
    if (!m_open) {
        return true;
    }
    m_open = false;
    if (!m_db.Commit(error)) {
        m_db.Rollback();
        return false;
    }
    return true;
}
