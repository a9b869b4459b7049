// Rows made on a thread of their own, a few records ahead of the thread that stores them:
// reading and describing a record and writing it to the database each take about half of an
// index run, and the two can overlap.
#ifndef GIBO_TOOLS_INDEX_ROW_FEEDER_H
#define GIBO_TOOLS_INDEX_ROW_FEEDER_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "index/index_db.h"

struct MadeRow {
    IndexRow row;
    bool ok = false;
    std::string error;   // why the record could not be read, when !ok
    size_t invalid = 0;  // header bytes not valid in the record's code page
};

class RowFeeder {
public:
    // Calls make(0), make(1), ... make(count - 1) in turn on the feeder's thread; make is the
    // only code that runs there, so what it uses must not be used by the caller meanwhile.
    RowFeeder(size_t count, std::function<void(size_t, MadeRow&)> make);
    // Stops the feeder after the row at hand, and waits for it.
    ~RowFeeder();
    RowFeeder(const RowFeeder&) = delete;
    RowFeeder& operator=(const RowFeeder&) = delete;

    // The next row in turn, waiting for it. An exception thrown by make is thrown here.
    MadeRow Next();

private:
    void Run();

    static const size_t kAhead = 64;    // rows made but not yet taken, at most
    static const size_t kHandful = 16;  // rows handed over at once
    const size_t m_count;
    std::function<void(size_t, MadeRow&)> m_make;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<MadeRow> m_ready;  // made, not yet handed over
    std::deque<MadeRow> m_taken;  // handed over, not yet returned; the taker's alone
    size_t m_made = 0;            // rows handed over before those in m_taken
    std::exception_ptr m_failure;
    bool m_stop = false;
    std::thread m_thread;  // last: started once the rest is ready
};

#endif  // GIBO_TOOLS_INDEX_ROW_FEEDER_H
