// Reading a whole file line by line without a copy per line, for readers that go through a file
// once from where it stands (the record loader). Lines are cut as CStdioFile::ReadString cuts
// them: LF or CR LF ends a line, a lone CR stays in it, a last line without line end counts.
#ifndef GIBO_FRAMEWORK_LINEREADER_H
#define GIBO_FRAMEWORK_LINEREADER_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/FileSystem.h"
#include "framework/SysFile.h"

namespace gibo {

class LineReader {
public:
    explicit LineReader(int fd);

    // The next line, as a view that stays valid until the next call; false at the end of the
    // file or on a failure, which Failure() then tells (a line of 2 GiB or more, which no
    // CString could hold, is EFBIG). The file is read ahead in large pieces.
    bool Next(const char*& pLine, size_t& nLength) {
        // Most lines lie whole in the piece at hand.
        if (m_pos < m_end) {
            const char* start = m_piece.data() + m_pos;
            const void* lf = std::memchr(start, '\n', m_end - m_pos);
            if (lf) {
                nLength = static_cast<size_t>(static_cast<const char*>(lf) - start);
                m_pos += nLength + 1;
                pLine = start;
                if (nLength > 0 && start[nLength - 1] == '\r') {
                    --nLength;
                }
                return true;
            }
        }
        return NextAcrossPieces(pLine, nLength);
    }
    // The next run of bytes of the current line: up to its LF (not included; a CR before it
    // is) or to the end of the piece at hand; bLineEnd tells whether the line ends there. For
    // passing over lines of any length without holding them. False at the end of the file or
    // on a failure.
    bool NextPiece(const char*& pData, size_t& nLength, bool& bLineEnd) {
        if (m_pos == m_end && !Refill()) {
            return false;
        }
        pData = m_piece.data() + m_pos;
        const size_t avail = m_end - m_pos;
        const auto* lf = static_cast<const char*>(std::memchr(pData, '\n', avail));
        bLineEnd = lf != nullptr;
        nLength = lf ? static_cast<size_t>(lf - pData) : avail;
        m_pos += nLength + (lf ? 1 : 0);
        return true;
    }
    // Hands out again the bytes from p on, which lie in the piece last handed out.
    void Unread(const char* p) { m_pos = static_cast<size_t>(p - m_piece.data()); }
    // Where p, in the piece last handed out, lies, counted from where the reader started.
    int64_t Offset(const char* p) const {
        return m_done + static_cast<int64_t>(p - m_piece.data());
    }
    // Where the next byte handed out lies, counted as Offset() counts.
    int64_t Tell() const { return m_done + static_cast<int64_t>(m_pos); }
    // Goes back (or on) to an offset as Offset() counts it; only for a file that can seek.
    Status Rewind(int64_t nOffset);
    Status Failure() const { return m_failure; }

private:
    bool NextAcrossPieces(const char*& pLine, size_t& nLength);
    bool Refill();  // reads the next piece; false at the end of the file or on a failure

    int m_fd;
    Status m_failure = 0;
    PieceBuffer m_piece;
    size_t m_pos = 0;
    size_t m_end = 0;
    int64_t m_done = 0;      // bytes read before the piece at hand
    std::string m_spanning;  // a line that runs over the end of a piece
};

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_LINEREADER_H
