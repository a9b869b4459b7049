// gibo index: builds or updates the index database of a collection.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <map>

#include "cli/command.h"
#include "cli/errors.h"
#include "index/collection.h"
#include "index/index_db.h"
#include "index/record_row.h"

namespace {

const char kHelp[] =
    "Usage: gibo index [OPTIONS] DB DIR|RECORD...\n"
    "\n"
    "Builds or updates the SQLite index DB of the records given and of every *.gib file below\n"
    "each DIR, for 'gibo find'. Each record is loaded as 'gibo show' loads it; its header items,\n"
    "display strings and typed facts (players, levels, winner, margin, date, moves, handicap,\n"
    "komi, code page) are stored in UTF-8. A record whose size and modification time are\n"
    "unchanged is skipped; a record that is gone from a DIR given is removed. A record that\n"
    "cannot be loaded is stored with its error and counted. Records are written in batches,\n"
    "one transaction each: a run that is stopped keeps the batches done, and the next run goes\n"
    "on from there.\n"
    "\n"
    "  --full             read every record again\n"
    "  --batch N          records per transaction (default 1000)\n";

const long kDefaultBatch = 1000;

volatile std::sig_atomic_t g_stop = 0;

void OnStop(int) {
    g_stop = 1;
}

// Without SA_RESTART, so that a read waiting on a slow file gives up and the run stops at once.
void CatchStop() {
    struct sigaction sa = {};
    sa.sa_handler = OnStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

class Meter {
public:
    explicit Meter(size_t total) : m_total(total), m_active(isatty(2) != 0) {}
    ~Meter() { Clear(); }
    void Show(size_t done, size_t errors, bool force = false) {
        if (!m_active) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!force && now - m_last < std::chrono::milliseconds(200)) {
            return;
        }
        m_last = now;
        const double secs = std::chrono::duration<double>(now - m_start).count();
        std::cerr << "\r\033[K[" << done << '/' << m_total << "] "
                  << static_cast<long long>(secs > 0 ? done / secs : 0) << " records/s, " << errors
                  << " errors" << std::flush;
        m_shown = true;
    }
    void Clear() {
        if (m_shown) {
            std::cerr << "\r\033[K" << std::flush;
            m_shown = false;
        }
    }

private:
    size_t m_total;
    bool m_active;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_last;
};

// Writes in transactions of a fixed number of changes.
class Batch {
public:
    Batch(IndexDb& db, long size) : m_db(db), m_size(size) {}
    bool Open(std::string& error) { return m_open || (m_open = m_db.Begin(error)); }
    bool Done(std::string& error) {
        if (++m_count < m_size) {
            return true;
        }
        return Commit(error);
    }
    bool Commit(std::string& error) {
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

private:
    IndexDb& m_db;
    long m_size;
    long m_count = 0;
    bool m_open = false;
};

struct Counts {
    size_t indexed = 0, unchanged = 0, removed = 0, failed = 0;
};

int RunIndex(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give the index file and at least one DIR or RECORD");
    }
    long batchSize = kDefaultBatch;
    if (args.Has("--batch") && !ParseNumber(args.Get("--batch"), 1, 1000000, batchSize)) {
        return tool.Usage("--batch needs a whole number from 1 to 1000000");
    }
    // A file-size limit makes writes fail with EFBIG instead of killing the run mid-batch.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string dbPath = args.operands[0];
    const Collection collection =
        Collect(std::vector<std::string>(args.operands.begin() + 1, args.operands.end()));
    int status = kExitOk;
    for (const std::string& e : collection.errors) {
        tool.Error("", "cannot read " + e + " (the records below it stay as indexed)");
        status = kExitFailed;
    }
    IndexDb db;
    std::string notice, error;
    if (!db.Open(dbPath, true, notice, error)) {
        tool.Error(dbPath, error);
        return kExitFailed;
    }
    if (!notice.empty()) {
        tool.Error(dbPath, notice);
    }
    std::map<std::string, IndexDb::Known> known;
    if (!db.LoadKnown(known, error)) {
        tool.Error(dbPath, error);
        return kExitFailed;
    }
    for (const std::string& m : collection.missing) {
        if (!known.count(m)) {
            tool.Error(m, "no such file or directory");
            status = kExitFailed;
        }
    }
    CatchStop();
    PrivateDir dir;
    RowMaker maker(tool);
    Batch batch(db, batchSize);
    Meter meter(collection.records.size());
    Counts counts;
    const bool full = args.Has("--full");
    auto writeFailed = [&](const std::string& what) {
        meter.Clear();
        db.Rollback();
        tool.Error(dbPath, "cannot write the index: " + what +
                               "; it holds what the last committed batch wrote");
        return kExitFailed;
    };
    for (size_t i = 0; i < collection.records.size() && !g_stop; ++i) {
        const FileStamp& stamp = collection.records[i];
        meter.Show(i, counts.failed);
        const auto k = known.find(stamp.path);
        if (k != known.end()) {
            const bool same = k->second.size == stamp.size && k->second.mtime == stamp.mtime;
            known.erase(k);
            if (same && !full) {
                ++counts.unchanged;
                continue;
            }
        }
        IndexRow row;
        row.path = stamp.path;
        row.columns["size"] = Cell::Int(stamp.size);
        row.columns["mtime"] = Cell::Int(stamp.mtime);
        if (!maker.Make(stamp.path, dir, row, error)) {
            meter.Clear();
            tool.Error(stamp.path, error);
            ++counts.failed;
        }
        if (g_stop) {
            break;  // the record may have been cut short by the signal
        }
        if (!batch.Open(error) || !db.Store(row, error) || !batch.Done(error)) {
            return writeFailed(error);
        }
        ++counts.indexed;
    }
    for (const auto& k : known) {
        if (g_stop || !collection.Vanished(k.first)) {
            continue;
        }
        if (!batch.Open(error) || !db.Remove(k.second.id, error) || !batch.Done(error)) {
            return writeFailed(error);
        }
        ++counts.removed;
    }
    if (g_stop) {
        meter.Clear();
        db.Rollback();
        tool.Error(dbPath,
                   "interrupted: the index holds the batches committed before; run "
                   "again to go on");
        return 128 + SIGINT;
    }
    if (!batch.Commit(error)) {
        return writeFailed(error);
    }
    meter.Show(collection.records.size(), counts.failed, true);
    meter.Clear();
    std::cout << "indexed " << counts.indexed << ", unchanged " << counts.unchanged << ", removed "
              << counts.removed << ", failed " << counts.failed << std::endl;
    return counts.failed > 0 ? kExitFailed : status;
}

}  // namespace

Command IndexCommand() {
    return {"index",
            "build or update the index database of a collection",
            kHelp,
            {{"--full", false}, {"--batch", true}},
            RunIndex};
}
