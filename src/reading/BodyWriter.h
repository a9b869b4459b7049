// The body file's writer, a sink of the record scanner.
#ifndef GIBO_READING_BODYWRITER_H
#define GIBO_READING_BODYWRITER_H

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "framework/FileSystem.h"
#include "reading/RecordScanner.h"

namespace gibo {

// Body lines, each followed by CR LF, gathered in a fixed piece and handed to the file a piece
// at a time: a write call per line would cost more than the line itself. A text longer than the
// piece goes to the file directly.
class BodyWriter final : public BodySink {
public:
    explicit BodyWriter(int fd) : m_fd(fd) {}
    bool Line(const char* pData, size_t nCount) override {
        if (nCount + 2 > m_piece.size() - m_used) {
            return Text(pData, nCount) && Text("\r\n", 2);
        }
        char* out = m_piece.data() + m_used;
        std::memcpy(out, pData, nCount);
        out[nCount] = '\r';
        out[nCount + 1] = '\n';
        m_used += nCount + 2;
        return true;
    }
    // Bytes of a line that is handed over in parts.
    bool Text(const char* pData, size_t nCount) override {
        if (nCount > m_piece.size() - m_used) {
            if (!Flush()) {
                return false;
            }
            if (nCount > m_piece.size()) {
                return Put(pData, nCount);
            }
        }
        std::memcpy(m_piece.data() + m_used, pData, nCount);
        m_used += nCount;
        return true;
    }
    bool Flush() {
        const bool ok = Put(m_piece.data(), m_used);
        m_used = 0;
        return ok;
    }
    void Mark() override { m_nMark = m_written + static_cast<int64_t>(m_used); }
    // Writes from the mark on again.
    bool Rewind() override {
        int64_t at = 0;
        if (Flush()) {
            m_failure = SeekFd(m_fd, m_nMark, SEEK_SET, at);
        }
        m_written = m_nMark;
        return m_failure == 0;
    }
    Status Failure() const { return m_failure; }

private:
    bool Put(const void* pData, size_t nCount) {
        if (m_failure == 0 && nCount > 0) {
            m_failure = WriteAll(m_fd, pData, nCount);
            m_written += static_cast<int64_t>(nCount);
        }
        return m_failure == 0;
    }

    int m_fd;
    Status m_failure = 0;
    PieceBuffer m_piece;
    size_t m_used = 0;
    int64_t m_written = 0;
    int64_t m_nMark = 0;
};

}  // namespace gibo

#endif  // GIBO_READING_BODYWRITER_H
