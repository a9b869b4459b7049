// The index database through the SQLite C interface.
#include "index/index_db.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "index/search_terms.h"

namespace {

// "gibo" in ASCII: marks the file as an index of this tool.
const int kApplicationId = 0x6769626f;
// 1: records, header_items, game_text. 2: records.options, what each record was read with.
// 3: the facts of header items and game information side by side, folded search keys, and
// game_text over names, event, place and every item's text. 4: the options texts and the items'
// tags each stored once, rows naming them by number; header_items a view. 5: items keyed by one
// number (record and place), which packs their pages.
const int kSchemaVersion = 5;
// An item's key: its record's id times 2^16, plus its place among the record's items. Items
// after the first 2^16 of a record are not stored (a header that long is no one's record).
const int kItemBits = 16;
const size_t kItemsKept = size_t(1) << kItemBits;
// How long a run waits for another's lock, in steps short enough to notice a stop request.
const int kBusyWaitMs = 10000;
const int kBusyStepMs = 20;

#define GIBO_SIDE(s)                                                                             \
    " " s "_name TEXT, " s "_nick TEXT, " s "_level TEXT, " s "_country TEXT, " s "_id TEXT, " s \
    "_info_nick TEXT, " s "_keys TEXT,"

const char kSchema[] =
    "CREATE TABLE records("
    " id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER NOT NULL,"
    " mtime INTEGER NOT NULL, error_code INTEGER, error TEXT, type INTEGER, codepage TEXT,"
    " codepage_reason TEXT, body_records INTEGER, audio_bytes INTEGER, info_format TEXT,"
    " white TEXT, black TEXT, game_type TEXT, game_name TEXT, date TEXT, time TEXT,"
    " condition TEXT, result TEXT, moves TEXT," GIBO_SIDE("white") GIBO_SIDE("black")
    " date_iso TEXT, date_item TEXT, date_info TEXT, date_text TEXT,"
    " winner TEXT, result_kind TEXT, margin REAL, result_text TEXT, result_item TEXT,"
    " result_info TEXT, move_count INTEGER, moves_info INTEGER, handicap INTEGER,"
    " komi INTEGER, place TEXT, event_keys TEXT, place_keys TEXT, text_keys TEXT,"
    " options_id INTEGER);"
    "CREATE INDEX records_date ON records(date_iso);"
    "CREATE TABLE options(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE);"
    "CREATE TABLE tags(id INTEGER PRIMARY KEY, tag TEXT NOT NULL UNIQUE);"
    "CREATE TABLE items(id INTEGER PRIMARY KEY, tag_id INTEGER NOT NULL, value TEXT NOT NULL);"
    "CREATE VIEW header_items AS SELECT items.id >> 16 AS record_id, items.id & 65535 AS seq,"
    " tag, value FROM items JOIN tags ON tags.id = items.tag_id;"
    "CREATE VIRTUAL TABLE game_text USING fts5(white, black, game, place, text, content='',"
    " columnsize=0, tokenize='unicode61');";

// The columns of records after its id, in the order kSchema gives them.
const std::vector<std::string>& Columns() {
    static const std::vector<std::string> columns = [] {
        const std::string schema = kSchema;
        const size_t end = schema.find(");");  // the end of the records table
        std::vector<std::string> names;
        for (size_t at = schema.find('(') + 1; at < end; at = schema.find(',', at) + 1) {
            const size_t name = schema.find_first_not_of(' ', at);
            names.push_back(schema.substr(name, schema.find(' ', name) - name));
        }
        names.erase(names.begin());  // the id, which SQLite gives
        return names;
    }();
    return columns;
}

// The statements a writing run prepares, by IndexDb::Statement; the insert is made of Columns().
const char* const kStatementSql[] = {
    nullptr,
    "INSERT INTO items VALUES(?,?,?)",
    "INSERT OR IGNORE INTO tags(tag) VALUES(?)",
    "SELECT id FROM tags WHERE tag=?",
    "INSERT OR IGNORE INTO options(text) VALUES(?)",
    "SELECT id FROM options WHERE text=?",
    "INSERT INTO game_text(rowid,white,black,game,place,text) VALUES(?,?,?,?,?,?)",
    "SELECT white_keys,black_keys,event_keys,place_keys,text_keys FROM records"
    " WHERE id=? AND path=?",
    "INSERT INTO game_text(game_text,rowid,white,black,game,place,text)"
    " VALUES('delete',?,?,?,?,?,?)",
    "DELETE FROM items WHERE id >= ?1 << 16 AND id < (?1 + 1) << 16",
    "DELETE FROM records WHERE id=?",
    "SELECT id FROM records WHERE path=?",
};

// The columns whose keys' pair tokens game_text holds, in its column order.
const char* const kTextColumns[] = {"white_keys", "black_keys", "event_keys", "place_keys",
                                    "text_keys"};
const int kTexts = 5;

std::string InsertSql() {
    std::string names, values;
    for (const std::string& c : Columns()) {
        names += (names.empty() ? "" : ",") + c;
        values += (values.empty() ? ":" : ",:") + c;
    }
    return "INSERT INTO records(" + names + ") VALUES(" + values + ")";
}

// Every byte of a text column, NUL bytes included.
std::string ColumnBytes(sqlite3_stmt* stmt, int i) {
    const unsigned char* text = sqlite3_column_text(stmt, i);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(stmt, i)))
                : std::string();
}

void BindBytes(sqlite3_stmt* stmt, int i, const std::string& text) {
    sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// For a text that outlives the statement's next step (a row's, while it is stored): not copied.
void BindKept(sqlite3_stmt* stmt, int i, const std::string& text) {
    sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

// Storing and removing bind their tokens here, so that a removal names exactly the tokens the
// row was stored with: a contentless full-text table forgets only those.
void BindTokens(sqlite3_stmt* stmt, int first, const std::string (&texts)[kTexts]) {
    for (int i = 0; i < kTexts; ++i) {
        BindBytes(stmt, first + i, PairTokens(texts[i]));
    }
}

// SQLite takes ":memory:" and, where it was built to, names that begin with "file:" as
// something else than a file of that name; a name with a directory part is always a file.
std::string PlainName(const std::string& path) {
    return path[0] == '/' ? path : "./" + path;
}

// A "file:" URI of an absolute path, every byte that is not a letter, digit or one of "/-._~"
// percent-encoded, so that no byte of the name reads as part of the query.
std::string FileUri(const std::string& path, const std::string& query) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (std::isalnum(c) != 0 || std::strchr("/-._~", c) != nullptr) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri + "?" + query;
}

// An index is a regular file, or a new name where one is written: a FIFO would hang the run
// and a device would be given a journal beside it.
bool UsableFile(const std::string& path, bool write, std::string& error) {
    struct stat st;
    if (path.empty()) {
        error = "an index needs a file name";
    } else if (stat(path.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode)) {
            return true;
        }
        error = "not a regular file; an index is a regular file or a new name";
    } else if (errno == ENOENT && write) {
        return true;
    } else {
        error = std::string("cannot open the index: ") + std::strerror(errno);
    }
    return false;
}

// Whether the write-ahead log or the rollback journal of the index at path holds changes:
// reading without them would miss them, or read a half-written database.
bool LogHoldsChanges(const std::string& path) {
    struct stat st;
    for (const char* suffix : {"-wal", "-journal"}) {
        if (stat((path + suffix).c_str(), &st) == 0 && st.st_size > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string RowColumnsSql() {
    std::string sql = "r.id";
    for (const std::string& c : Columns()) {
        sql += c == "options_id" ? ", (SELECT text FROM options WHERE id = r.options_id) AS options"
                                 : ", r." + c;
    }
    return sql;
}

IndexDb::~IndexDb() {
    Close();
}

void IndexDb::Close() {
    for (sqlite3_stmt*& s : m_stmt) {
        sqlite3_finalize(s);
        s = nullptr;
    }
    if (m_db) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

int IndexDb::OnBusy(void* self, int tries) {
    const IndexDb* db = static_cast<const IndexDb*>(self);
    if ((db->m_stop && db->m_stop()) || tries >= kBusyWaitMs / kBusyStepMs) {
        return 0;
    }
    sqlite3_sleep(kBusyStepMs);
    return 1;
}

bool IndexDb::Connect(const std::string& name, int flags, std::string& error) {
    Close();
    if (sqlite3_open_v2(name.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open the index: " + Message();
        return false;
    }
    sqlite3_busy_handler(m_db, OnBusy, this);
    return true;
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

bool IndexDb::Check(bool ok, std::string& error) const {
    if (!ok) {
        error = Message();
    }
    return ok;
}

bool IndexDb::Exec(const char* sql, std::string& error) {
    return Check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, error);
}

bool IndexDb::Prepare(sqlite3_stmt*& stmt, const char* sql, std::string& error) {
    return Check(sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) == SQLITE_OK, error);
}

bool IndexDb::Step(sqlite3_stmt* stmt, std::string& error) {
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    return Check(rc == SQLITE_DONE || rc == SQLITE_ROW, error);
}

// Drops every table and view of an older schema, whatever it held: views first, then the
// full-text tables (which take their own tables with them), then the rest.
bool IndexDb::DropAll(std::string& error) {
    std::vector<std::string> drops;
    const bool listed = EachRow(
        "SELECT type, name FROM sqlite_schema WHERE type IN ('table', 'view')"
        " AND name NOT LIKE 'sqlite%' ORDER BY type = 'table', sql NOT LIKE 'CREATE VIRTUAL%'",
        {}, [&drops](sqlite3_stmt* stmt) {
            std::string name = ColumnBytes(stmt, 1);
            for (size_t at = 0; (at = name.find('"', at)) != std::string::npos; at += 2) {
                name.insert(at, 1, '"');
            }
            drops.push_back("DROP " + ColumnBytes(stmt, 0) + " IF EXISTS \"" + name + "\"");
        });
    if (!Check(listed, error)) {
        return false;
    }
    for (const std::string& drop : drops) {
        if (!Exec(drop.c_str(), error)) {
            return false;
        }
    }
    return true;
}

bool IndexDb::CreateSchema(std::string& error) {
    const std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                ";PRAGMA user_version=" + std::to_string(kSchemaVersion);
    return Exec("BEGIN IMMEDIATE", error) && DropAll(error) && Exec(kSchema, error) &&
           Exec(pragmas.c_str(), error) && Exec("COMMIT", error);
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
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        marks.ours = sqlite3_column_int(stmt, 0) == kApplicationId;
        marks.version = sqlite3_column_int(stmt, 1);
        marks.tables = sqlite3_column_int(stmt, 2);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) {
        // Never taken for an empty database, which a run would then build its tables in.
        error = "cannot read the index: " + Message();
        return false;
    }
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
    for (int i = 0; i < kStatements; ++i) {
        const std::string sql = i == kInsert ? InsertSql() : kStatementSql[i];
        if (!Prepare(m_stmt[i], sql.c_str(), error)) {
            return false;
        }
    }
    for (const std::string& c : Columns()) {
        m_params[c] = sqlite3_bind_parameter_index(m_stmt[kInsert], (":" + c).c_str());
    }
    return true;
}

bool IndexDb::Open(const std::string& path, bool write, std::string& notice, std::string& error) {
    if (!UsableFile(path, write, error)) {
        return false;
    }
    const int flags = write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (!Connect(PlainName(path), flags, error)) {
        return false;
    }
    if (write && sqlite3_db_readonly(m_db, "main") == 1) {
        error = "the index is read-only";
        return false;
    }
    Marks marks;
    if (!ReadMarks(marks, error) && (write || !ReadWithoutWriting(path, marks))) {
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

// Reading an index in WAL mode makes or writes its -shm file beside it. Where this user cannot
// (read-only media, another user's directory), the index is read as immutable, which needs no
// file beside it; unless its log holds changes, which that would miss. When this fails too, the
// first reason is the one reported.
bool IndexDb::ReadWithoutWriting(const std::string& path, Marks& marks) {
    const int code = sqlite3_errcode(m_db);
    char* real = realpath(path.c_str(), nullptr);
    const std::string absolute = real ? real : "";
    std::free(real);
    if ((code != SQLITE_READONLY && code != SQLITE_CANTOPEN) || absolute.empty() ||
        LogHoldsChanges(absolute)) {
        return false;
    }
    std::string again;
    return Connect(FileUri(absolute, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                   again) &&
           ReadMarks(marks, again);
}

bool IndexDb::LoadKnown(const std::string& options, std::map<std::string, Known>& known,
                        std::string& error) {
    const bool ok = EachRow(
        "SELECT path,id,size,mtime,error IS NOT NULL OR"
        " options_id IS NOT (SELECT id FROM options WHERE text=?) FROM records",
        {options}, [&known](sqlite3_stmt* stmt) {
            known[ColumnBytes(stmt, 0)] = {
                sqlite3_column_int64(stmt, 1), sqlite3_column_int64(stmt, 2),
                sqlite3_column_int64(stmt, 3), sqlite3_column_int(stmt, 4) != 0};
        });
    return Check(ok, error);
}

bool IndexDb::EachRow(const std::string& sql, const std::vector<std::string>& values,
                      const std::function<void(sqlite3_stmt*)>& row) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        BindBytes(stmt, static_cast<int>(i + 1), values[i]);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        row(stmt);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

bool IndexDb::Begin(std::string& error) {
    return Exec("BEGIN IMMEDIATE", error);
}

bool IndexDb::Commit(std::string& error) {
    return Exec("COMMIT", error);
}

void IndexDb::Rollback() {
    m_tagIds.clear();
    m_optionsIds.clear();
    if (m_db && !sqlite3_get_autocommit(m_db)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool IndexDb::Remove(long long id, const std::string& path, std::string& error) {
    sqlite3_stmt* const select = m_stmt[kSelectKeys];
    sqlite3_bind_int64(select, 1, id);
    BindBytes(select, 2, path);
    std::string texts[kTexts];
    const int rc = sqlite3_step(select);
    for (int i = 0; rc == SQLITE_ROW && i < kTexts; ++i) {
        texts[i] = ColumnBytes(select, i);
    }
    sqlite3_reset(select);
    if (rc == SQLITE_DONE) {
        return true;  // gone already, or the id is another record's now
    }
    if (!Check(rc == SQLITE_ROW, error)) {
        return false;
    }
    sqlite3_bind_int64(m_stmt[kDeleteText], 1, id);
    BindTokens(m_stmt[kDeleteText], 2, texts);
    sqlite3_bind_int64(m_stmt[kDeleteItems], 1, id);
    sqlite3_bind_int64(m_stmt[kDelete], 1, id);
    return Step(m_stmt[kDeleteText], error) && Step(m_stmt[kDeleteItems], error) &&
           Step(m_stmt[kDelete], error);
}

bool IndexDb::IdOf(Statement insert, std::map<std::string, long long>& known,
                   const std::string& text, long long& id, std::string& error) {
    const auto it = known.find(text);
    if (it != known.end()) {
        id = it->second;
        return true;
    }
    sqlite3_stmt* const select = m_stmt[insert + 1];
    BindBytes(m_stmt[insert], 1, text);
    BindBytes(select, 1, text);
    if (!Step(m_stmt[insert], error)) {
        return false;
    }
    const int rc = sqlite3_step(select);
    id = sqlite3_column_int64(select, 0);
    sqlite3_reset(select);
    if (!Check(rc == SQLITE_ROW, error)) {
        return false;
    }
    known[text] = id;
    return true;
}

bool IndexDb::InsertItems(long long id, const IndexRow& row, std::string& error) {
    sqlite3_stmt* const insert = m_stmt[kInsertItem];
    for (size_t seq = 0; seq < row.items.size() && seq < kItemsKept; ++seq) {
        long long tag = 0;
        if (!IdOf(kInsertTag, m_tagIds, row.items[seq].first, tag, error)) {
            return false;
        }
        sqlite3_bind_int64(insert, 1, id << kItemBits | static_cast<long long>(seq));
        sqlite3_bind_int64(insert, 2, tag);
        BindKept(insert, 3, row.items[seq].second);
        if (!Step(insert, error)) {
            return false;
        }
    }
    return true;
}

bool IndexDb::BindColumns(const IndexRow& row, std::string& error) {
    sqlite3_stmt* const insert = m_stmt[kInsert];
    sqlite3_clear_bindings(insert);
    for (const auto& column : row.columns) {
        const auto param = m_params.find(column.first);
        const Cell& c = column.second;
        if (param == m_params.end()) {
            continue;
        }
        const int i = param->second;
        if (c.kind == Cell::kInt) {
            sqlite3_bind_int64(insert, i, c.i);
        } else if (c.kind == Cell::kReal) {
            sqlite3_bind_double(insert, i, c.r);
        } else if (c.kind == Cell::kText) {
            BindKept(insert, i, c.s);
        }
    }
    BindKept(insert, m_params["path"], row.path);
    const auto options = row.columns.find("options");
    long long id = 0;
    if (options == row.columns.end()) {
        return true;
    }
    if (!IdOf(kInsertOptions, m_optionsIds, options->second.s, id, error)) {
        return false;
    }
    sqlite3_bind_int64(insert, m_params["options_id"], id);
    return true;
}

bool IndexDb::Store(const IndexRow& row, std::string& error) {
    sqlite3_stmt* const find = m_stmt[kFindPath];
    BindBytes(find, 1, row.path);
    const int found = sqlite3_step(find);
    const long long oldId = found == SQLITE_ROW ? sqlite3_column_int64(find, 0) : 0;
    sqlite3_reset(find);
    if (!Check(found == SQLITE_ROW || found == SQLITE_DONE, error)) {
        return false;
    }
    if (found == SQLITE_ROW && !Remove(oldId, row.path, error)) {
        return false;
    }
    if (!BindColumns(row, error) || !Step(m_stmt[kInsert], error)) {
        return false;
    }
    const long long id = sqlite3_last_insert_rowid(m_db);
    std::string texts[kTexts];
    for (int i = 0; i < kTexts; ++i) {
        const auto it = row.columns.find(kTextColumns[i]);
        texts[i] = it != row.columns.end() && it->second.kind == Cell::kText ? it->second.s : "";
    }
    sqlite3_bind_int64(m_stmt[kInsertText], 1, id);
    BindTokens(m_stmt[kInsertText], 2, texts);
    return InsertItems(id, row, error) && Step(m_stmt[kInsertText], error);
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
