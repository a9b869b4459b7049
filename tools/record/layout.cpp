// Finding the markers of a record in a stream of pieces.
#include "record/layout.h"

#include <fcntl.h>

#include <cerrno>
#include <string>
#include <vector>

#include "os/input.h"

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

bool ReadPieces(int fd, long long offset, const std::function<bool(const char*, size_t)>& take,
                std::string& error) {
    error.clear();
    std::vector<char> piece(kPiece);
    for (;;) {
        size_t got = 0;
        if (!ReadAt(fd, offset, piece.data(), piece.size(), got, error)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!take(piece.data(), got)) {
            return error.empty();
        }
        offset += static_cast<long long>(got);
    }
}

namespace {

// Finds the markers of stages one after another, each after the one before; an empty stage
// stands for the end of the line the previous marker is on. found[k] is the offset of stage
// k's marker (or just past that line end), lines[k] the start of its line; -1 when not found.
bool ScanMarkers(int fd, const char* const* stages, int nStages, long long* found, long long* lines,
                 std::string& error) {
    for (int k = 0; k < nStages; ++k) {
        found[k] = lines[k] = -1;
    }
    // Markers are a backslash at a character start and two ASCII letters; a lead byte takes
    // the next byte with it, except a line end, where every line starts afresh.
    int stage = 0;
    bool trail = false;
    long long backslash = -2, lineStart = 0, offset = 0;
    auto scan = [&](const char* piece, size_t got) {
        for (size_t i = 0; i < got; ++i, ++offset) {
            const unsigned char c = static_cast<unsigned char>(piece[i]);
            const char* const wanted = stages[stage];
            if (c == '\n') {
                trail = false;
                lineStart = offset + 1;
                if (!wanted[0]) {
                    found[stage] = lines[stage] = offset + 1;
                    if (++stage == nStages) {
                        return false;
                    }
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
            if (!wanted[0] || (k != 1 && k != 2) || wanted[k - 1] != c) {
                backslash = -2;
                continue;
            }
            if (k == 1) {
                continue;
            }
            found[stage] = backslash;
            lines[stage] = lineStart;
            backslash = -2;
            if (++stage == nStages) {
                return false;
            }
        }
        return true;
    };
    return ReadPieces(fd, 0, scan, error);
}

}  // namespace

bool ScanLayout(int fd, RecordLayout& layout, std::string& error) {
    const char* const stages[] = {"HS", "HE", "", "GS"};
    long long found[4], lines[4];
    if (!ScanMarkers(fd, stages, 4, found, lines, error)) {
        return false;
    }
    layout.hs = found[0];
    layout.he = found[1];
    layout.heLineEnd = found[2];
    layout.gs = found[3];
    layout.gsLineStart = lines[3];
    return true;
}

bool BodyEnd(int fd, long long& end, std::string& error) {
    const char* const stages[] = {"HS", "HE", "", "GS", "GE", ""};
    long long found[6], lines[6];
    if (!ScanMarkers(fd, stages, 6, found, lines, error)) {
        return false;
    }
    end = found[5];
    return true;
}

bool FindLineWithMarker(int fd, const char* letters, long long& line, std::string& error) {
    const char* const stages[] = {letters};
    long long found = -1, start = -1;
    if (!ScanMarkers(fd, stages, 1, &found, &start, error)) {
        return false;
    }
    line = start;
    return true;
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
