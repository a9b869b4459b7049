// Reading a whole file line by line without a copy per line, for readers that go through a file
// once from where it stands (the record loader). Lines are cut as CStdioFile::ReadString cuts
// them: LF or CR LF ends a line, a lone CR stays in it, a last line without line end counts.
#ifndef GIBO_FRAMEWORK_LINEREADER_H
#define GIBO_FRAMEWORK_LINEREADER_H

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

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
    bool NextPiece(const char*& pData, size_t& nLength, bool& bLineEnd);
    Status Failure() const { return m_failure; }

private:
    bool NextAcrossPieces(const char*& pLine, size_t& nLength);

    int m_fd;
    Status m_failure = 0;
    std::vector<char> m_piece;
    size_t m_pos = 0;
    size_t m_end = 0;
    std::string m_spanning;  // a line that runs over the end of a piece
};

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_LINEREADER_H
