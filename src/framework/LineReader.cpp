#include "framework/LineReader.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "framework/FileSystem.h"

namespace gibo {

LineReader::LineReader(int fd) : m_fd(fd) {}

bool LineReader::NextAcrossPieces(const char*& pLine, size_t& nLength) {
    m_spanning.clear();
    bool spanning = false;
    for (;;) {
        if (m_pos == m_end && !Refill()) {
            if (m_failure != 0 || !spanning) {
                return false;
            }
            pLine = m_spanning.data();
            nLength = m_spanning.size();
            break;
        }
        const char* start = m_piece.data() + m_pos;
        const size_t avail = m_end - m_pos;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', avail));
        if (!lf) {
            m_spanning.append(start, avail);
            spanning = true;
            m_pos = m_end;
            continue;
        }
        const size_t len = static_cast<size_t>(lf - start);
        m_pos += len + 1;
        if (spanning) {
            m_spanning.append(start, len);
            pLine = m_spanning.data();
            nLength = m_spanning.size();
        } else {
            pLine = start;
            nLength = len;
        }
        if (nLength > 0 && pLine[nLength - 1] == '\r') {
            --nLength;
        }
        break;
    }
    if (nLength > static_cast<size_t>(INT_MAX)) {
        m_failure = EFBIG;
        return false;
    }
    return true;
}

bool LineReader::Refill() {
    m_done += static_cast<int64_t>(m_end);
    m_pos = 0;
    m_end = 0;
    if (m_failure == 0) {
        m_failure = ReadSome(m_fd, m_piece.data(), m_piece.size(), m_end);
    }
    if (m_failure != 0) {
        m_end = 0;
    }
    return m_end > 0;
}

Status LineReader::Rewind(int64_t nOffset) {
    int64_t at = 0;
    if (m_failure == 0) {
        m_failure = SeekFd(m_fd, nOffset - m_done - static_cast<int64_t>(m_end), SEEK_CUR, at);
    }
    m_done = nOffset;
    m_pos = 0;
    m_end = 0;
    return m_failure;
}

}  // namespace gibo
