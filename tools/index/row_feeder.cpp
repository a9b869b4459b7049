#include "index/row_feeder.h"

#include <utility>

RowFeeder::RowFeeder(size_t count, std::function<void(size_t, MadeRow&)> make)
    : m_count(count), m_make(std::move(make)), m_thread(&RowFeeder::Run, this) {}

RowFeeder::~RowFeeder() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void RowFeeder::Run() {
    for (size_t i = 0; i < m_count; ++i) {
        MadeRow made;
        try {
            m_make(i, made);
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = std::current_exception();
            m_changed.notify_all();
            return;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stop || m_ready.size() < kAhead; });
        if (m_stop) {
            return;
        }
        m_ready.push_back(std::move(made));
        // Rows are handed over a handful at a time: waking the taker for each one would cost
        // more than the row.
        if (m_ready.size() == kHandful || i + 1 == m_count) {
            m_changed.notify_all();
        }
    }
}

MadeRow RowFeeder::Next() {
    if (m_taken.empty()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] {
            return m_ready.size() >= kHandful || m_made + m_ready.size() == m_count || m_failure;
        });
        if (m_ready.empty()) {
            std::rethrow_exception(m_failure);
        }
        m_made += m_ready.size();
        m_taken.swap(m_ready);
        m_changed.notify_all();  // room again for the feeder
    }
    MadeRow made = std::move(m_taken.front());
    m_taken.pop_front();
    return made;
}
