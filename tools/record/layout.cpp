// Finding the markers of a record in a stream of pieces.
#include "record/layout.h"

#include <string>

#include "framework/Gbk.h"
#include "os/input.h"

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
            if (gibo::IsGbkLead(c)) {
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
