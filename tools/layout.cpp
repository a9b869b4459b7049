// Finding the markers of a record in a stream of pieces.
#include "layout.h"

#include <fcntl.h>

#include <cerrno>
#include <string>
#include <vector>

#include "input.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

const size_t kPiece = 64 * 1024;

bool IsLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace

bool ReadAt(int fd, long long offset, char* pBuf, size_t nCount, size_t& nGot, std::string& error) {
    nGot = 0;
#ifdef _WIN32
    if (_lseeki64(fd, offset, SEEK_SET) < 0) {
#else
    if (lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
#endif
        error = "read error: " + SystemReason(errno);
        return false;
    }
    while (nGot < nCount) {
#ifdef _WIN32
        const int got = _read(fd, pBuf + nGot, static_cast<unsigned>(nCount - nGot));
#else
        const ssize_t got = ::read(fd, pBuf + nGot, nCount - nGot);
#endif
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "read error: " + SystemReason(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        nGot += static_cast<size_t>(got);
    }
    return true;
}

bool ScanLayout(int fd, RecordLayout& layout, std::string& error) {
    layout = RecordLayout();
    std::vector<char> piece(kPiece);
    // Markers are a backslash at a character start and two ASCII letters; a lead byte takes
    // the next byte with it, except a line end, where every line starts afresh.
    const char* const wanted[] = {"HS", "HE", "", "GS"};
    int stage = 0;  // 0 before \HS, 1 in the header, 2 rest of the \HE line, 3 before \GS
    bool trail = false;
    long long backslash = -2, lineStart = 0;
    long long offset = 0;
    for (;;) {
        size_t got = 0;
        if (!ReadAt(fd, offset, piece.data(), piece.size(), got, error)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        for (size_t i = 0; i < got; ++i, ++offset) {
            const unsigned char c = static_cast<unsigned char>(piece[i]);
            if (c == '\n') {
                trail = false;
                lineStart = offset + 1;
                if (stage == 2) {
                    layout.heLineEnd = offset + 1;
                    stage = 3;
                }
                continue;
            }
            if (trail) {
                trail = false;
                continue;
            }
            if (IsLead(c)) {
                trail = true;
                continue;
            }
            if (c == '\\') {
                backslash = offset;
                continue;
            }
            const long long k = offset - backslash;  // which letter of a marker this may be
            if (stage == 2 || (k != 1 && k != 2) || wanted[stage][k - 1] != c) {
                backslash = -2;
                continue;
            }
            if (k == 1) {
                continue;
            }
            if (stage == 0) {
                layout.hs = backslash;
                stage = 1;
            } else if (stage == 1) {
                layout.he = backslash;
                stage = 2;
            } else {
                layout.gs = backslash;
                layout.gsLineStart = lineStart;
                return true;
            }
            backslash = -2;
        }
    }
}

bool SameTail(int a, long long aOffset, int b, long long bOffset, std::string& error) {
    std::vector<char> pa(kPiece), pb(kPiece);
    for (;;) {
        size_t na = 0, nb = 0;
        if (!ReadAt(a, aOffset, pa.data(), kPiece, na, error) ||
            !ReadAt(b, bOffset, pb.data(), kPiece, nb, error)) {
            return false;
        }
        if (na != nb || std::char_traits<char>::compare(pa.data(), pb.data(), na) != 0) {
            return false;
        }
        if (na == 0) {
            return true;
        }
        aOffset += static_cast<long long>(na);
        bOffset += static_cast<long long>(nb);
    }
}
