// gibo index: builds or updates the index database of a collection.
#include <csignal>
#include <iostream>
#include <map>

#include "cli/batch.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "index/collection.h"
#include "index/index_db.h"
#include "index/record_row.h"
#include "index/row_feeder.h"
#include "os/signals.h"
#include "os/workdir.h"

namespace {

const char kHelp[] =
    "Usage: gibo index [OPTIONS] DB DIR|RECORD...\n"
    "\n"
    "Builds or updates the SQLite index DB of the records given and of every *.gib file below\n"
    "each DIR, for 'gibo find'. Each record is loaded as 'gibo show' loads it; its header items,\n"
    "display strings and typed facts (players, levels, winner, margin, date, moves, handicap,\n"
    "komi, code page) are stored in UTF-8. A record whose size, modification time and options\n"
    "(--encoding, --nation) are unchanged is skipped; a record that is gone from a DIR given is\n"
    "removed. A record that cannot be loaded is stored with its error, counted, and read again\n"
    "by the next run. A file reached through links is indexed once, by its real name; DB's own\n"
    "files are skipped. Records are written in batches, one transaction each: a run that is\n"
    "stopped keeps the batches done, and the next run goes on from there.\n"
    "\n"
    "  --full             read every record again\n"
    "  --batch N          records per transaction (default 1000)\n";

const long kDefaultBatch = 1000;

// One run over a collection: each record indexed unless unchanged, then the vanished ones
// removed, in transactions of a fixed size.
class IndexRun {
public:
    IndexRun(Tool& tool, IndexDb& db, RowMaker& maker, const std::string& dbPath, long batchSize,
             size_t total, bool full)
        : m_tool(tool),
          m_db(db),
          m_dbPath(dbPath),
          m_maker(maker),
          m_batch(db, batchSize),
          m_progress(total, 0),
          m_full(full),
          m_options(maker.Options()) {}

    // Whether the record is to be read, not skipped as unchanged.
    bool ToRead(const FileStamp& stamp, const std::map<std::string, IndexDb::Known>& known) const {
        const auto k = known.find(stamp.path);
        if (k == known.end() || m_full) {
            return true;
        }
        // A record that failed is read again until it loads, whatever made it fail.
        const IndexDb::Known& was = k->second;
        return was.size != stamp.size || was.mtime != stamp.mtime || was.stale;
    }

    // The record's row; runs on the feeder's thread, which alone uses the maker.
    void Make(const FileStamp& stamp, MadeRow& made) const {
        IndexRow& row = made.row;
        row.path = stamp.path;
        row.columns["size"] = Cell::Int(stamp.size);
        row.columns["mtime"] = Cell::Int(stamp.mtime);
        row.columns["options"] = Cell::Text(m_options);
        made.ok = m_maker.Make(stamp.path, row, made.error);
        made.invalid = m_maker.Invalid();
    }

    // Stores the feeder's next row when read, else counts the record as unchanged. False with
    // a message when the index cannot be written; a record that cannot be loaded is stored
    // with its error and counted.
    bool Index(const FileStamp& stamp, bool read, RowFeeder& feeder, std::string& error) {
        if (!read) {
            ++m_unchanged;
            return true;
        }
        MadeRow made = feeder.Next();
        if (!made.ok) {
            m_progress.Clear();
            m_tool.Error(stamp.path, made.error);
            ++m_failed;
        } else if (made.invalid > 0) {
            m_progress.Clear();
            m_tool.WarnInvalid(stamp.path, made.invalid, made.row.columns["codepage"].s, "stored");
        }
        if (StopRequested()) {
            return true;  // the record may have been cut short by the signal
        }
        if (!m_batch.Open(error) || !m_db.Store(made.row, error) || !m_batch.Done(error)) {
            return false;
        }
        ++m_indexed;
        return true;
    }

    bool Remove(const std::string& path, const IndexDb::Known& row, std::string& error) {
        if (!m_batch.Open(error) || !m_db.Remove(row.id, path, error) || !m_batch.Done(error)) {
            return false;
        }
        ++m_removed;
        return true;
    }

    // Commits the last batch and prints the counts; the run's exit status.
    int Finish(size_t total, int status) {
        std::string error;
        if (!m_batch.Commit(error)) {
            return WriteFailed(error);
        }
        m_progress.ShowRate(total, m_failed, true);
        m_progress.Clear();
        std::cout << "indexed " << m_indexed << ", unchanged " << m_unchanged << ", removed "
                  << m_removed << ", failed " << m_failed << std::endl;
        return m_failed > 0 ? kExitFailed : status;
    }

    // Reports a write that failed, or was given up for a stop; the index keeps the batches
    // committed before. The run's exit status.
    int WriteFailed(const std::string& what) {
        if (StopRequested()) {
            return Interrupted();  // the wait for another run's lock was given up
        }
        m_progress.Clear();
        m_db.Rollback();
        m_tool.Error(m_dbPath, "cannot write the index: " + what +
                                   "; it holds what the last committed batch wrote");
        return kExitFailed;
    }

    int Interrupted() {
        m_progress.Clear();
        m_db.Rollback();
        m_tool.Error(m_dbPath,
                     "interrupted: the index holds the batches committed before; run "
                     "again to go on");
        return 128 + SIGINT;
    }

    void ShowProgress(size_t done) { m_progress.ShowRate(done, m_failed); }

private:
    Tool& m_tool;
    IndexDb& m_db;
    const std::string& m_dbPath;
    RowMaker& m_maker;
    TransactionBatch m_batch;
    Progress m_progress;
    bool m_full;
    std::string m_options;
    size_t m_indexed = 0, m_unchanged = 0, m_removed = 0, m_failed = 0;
};

// Opens the index for writing and reads what it holds: kExitOk, or the run's status, reported.
int OpenIndex(Tool& tool, const std::string& dbPath, IndexDb& db, const std::string& options,
              std::map<std::string, IndexDb::Known>& known) {
    std::string notice, error;
    db.StopWhen(StopRequested);
    if (!db.Open(dbPath, true, notice, error) || !db.LoadKnown(options, known, error)) {
        if (StopRequested()) {
            tool.Error(dbPath, "interrupted while waiting for another run; the index is unchanged");
            return 128 + SIGINT;
        }
        return tool.Fail(dbPath, error);
    }
    if (!notice.empty()) {
        tool.Error(dbPath, notice);
    }
    return kExitOk;
}

// The index's own files, which a DIR given may hold: never read as records.
std::vector<std::string> OwnFiles(const std::string& dbPath) {
    const std::string self = Canonical(dbPath);
    return {self, self + "-wal", self + "-shm", self + "-journal"};
}

// Indexes the records met and removes those that vanished; the run's exit status.
int IndexAll(IndexRun& run, const Collection& collection,
             std::map<std::string, IndexDb::Known>& known, int status) {
    std::string error;
    const size_t total = collection.records.size();
    // Which records to read is settled first, so that the feeder can read them ahead.
    std::vector<char> read(total);
    std::vector<const FileStamp*> toRead;
    for (size_t i = 0; i < total; ++i) {
        read[i] = run.ToRead(collection.records[i], known);
        known.erase(collection.records[i].path);
        if (read[i]) {
            toRead.push_back(&collection.records[i]);
        }
    }
    RowFeeder feeder(toRead.size(), [&](size_t i, MadeRow& made) { run.Make(*toRead[i], made); });
    for (size_t i = 0; i < total && !StopRequested(); ++i) {
        run.ShowProgress(i);
        if (!run.Index(collection.records[i], read[i] != 0, feeder, error)) {
            return run.WriteFailed(error);
        }
    }
    for (const auto& k : known) {
        if (!StopRequested() && collection.Vanished(k.first) &&
            !run.Remove(k.first, k.second, error)) {
            return run.WriteFailed(error);
        }
    }
    return StopRequested() ? run.Interrupted() : run.Finish(total, status);
}

int RunIndex(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give the index file and at least one DIR or RECORD");
    }
    long batchSize = kDefaultBatch;
    if (args.Has("--batch") && !ParseNumber(args.Get("--batch"), 1, 1000000, batchSize)) {
        return tool.Usage("--batch needs a whole number from 1 to 1000000");
    }
    // From here on Ctrl-C ends the run between records, and ends a wait for another run's lock.
    StopBetweenSteps();
    const std::string dbPath = args.operands[0];
    Collection collection =
        Collect(std::vector<std::string>(args.operands.begin() + 1, args.operands.end()));
    int status = kExitOk;
    for (const std::string& e : collection.errors) {
        status = tool.Fail("", "cannot read " + e + " (the records below it stay as indexed)");
    }
    IndexDb db;
    RowMaker maker(tool);  // loads the folding's tables once for the run
    std::map<std::string, IndexDb::Known> known;
    const int opened = OpenIndex(tool, dbPath, db, maker.Options(), known);
    if (opened != kExitOk) {
        return opened;
    }
    collection.Exclude(OwnFiles(dbPath));
    for (const std::string& m : collection.missing) {
        if (!known.count(m)) {
            status = tool.Fail(m, "no such file or directory");
        }
    }
    IndexRun run(tool, db, maker, dbPath, batchSize, collection.records.size(), args.Has("--full"));
    return IndexAll(run, collection, known, status);
}

}  // namespace

Command IndexCommand() {
    return {"index",
            "build or update the index database of a collection",
            kHelp,
            {{"--full", false}, {"--batch", true}},
            RunIndex};
}
