#include "writing/BodyScan.h"

#include "framework/Gbk.h"

namespace gibo {

namespace {

const char kMarker[] = "\\GE";

// True when a character starts at `at` (`from` is a boundary) and the piece ends inside a
// marker that starts there.
bool MarkerStartsAt(const char* p, size_t n, size_t from, size_t at) {
    return at >= from && at < n && GbkFind(p, n, kMarker, n - at, at, from) == at;
}

}  // namespace

void BodyScan::Take(const char* p, size_t n) {
    if (n == 0 || m_bMarker) {
        return;
    }
    // Where the first character of the piece starts: after the second byte of a character
    // begun in the last piece.
    const size_t from = m_bLoneLead && IsGbkTrail(static_cast<unsigned char>(p[0])) ? 1 : 0;
    if (m_nHeld > 0) {  // the marker begun there may end here
        size_t k = 0;
        while (m_nHeld + k < 3 && k < n && p[k] == kMarker[m_nHeld + k]) {
            ++k;
        }
        if (m_nHeld + k == 3) {
            m_bMarker = true;
            return;
        }
        m_nHeld = k == n ? m_nHeld + k : 0;
        if (m_nHeld > 0) {
            return;
        }
    }
    if (GbkFind(p, n, kMarker, 3, from, from) != kNpos) {
        m_bMarker = true;
        return;
    }
    // Lead bytes at the end pair up from the byte before them, which ends a character.
    size_t run = 0;
    while (n - run > from && IsGbkLead(static_cast<unsigned char>(p[n - 1 - run]))) {
        ++run;
    }
    m_bLoneLead = run % 2 != 0;
    m_nHeld = MarkerStartsAt(p, n, from, n - 1) ? 1 : MarkerStartsAt(p, n, from, n - 2) ? 2 : 0;
}

}  // namespace gibo
