// What in a body file would keep a saved record from loading back as it was saved, found while
// the body is copied piece by piece.
#ifndef GIBO_WRITING_BODYSCAN_H
#define GIBO_WRITING_BODYSCAN_H

#include <cstddef>

namespace gibo {

class BodyScan {
public:
    // The next bytes of the body.
    void Take(const char* p, size_t n);
    // A \GE at a character start: the loader would end the body there and lose the rest.
    bool HoldsMarker() const { return m_bMarker; }
    // The last byte is a lead byte without its second byte: it would take the backslash of
    // the \GE written after it, and the record would have no body end.
    bool EndsInLoneLead() const { return m_bLoneLead; }

private:
    bool m_bMarker = false;
    bool m_bLoneLead = false;
    size_t m_nHeld = 0;  // the bytes of "\GE" the last piece ended with, at a character start
};

}  // namespace gibo

#endif  // GIBO_WRITING_BODYSCAN_H
