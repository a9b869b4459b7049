// Finding the markers of a record through the library's scanner.
#include "record/layout.h"

#include <cstdio>
#include <cstring>

#include "framework/SysFile.h"

namespace {

using gibo::Marker;

// Where the scanner found each marker and the line it stands on.
struct Positions : gibo::ScanEvents {
    long long offsets[4] = {-1, -1, -1, -1};
    long long lineStarts[4] = {-1, -1, -1, -1};
    void OnMarker(Marker marker, int64_t, int64_t nOffset, int64_t nLineStart) override {
        offsets[static_cast<int>(marker)] = nOffset;
        lineStarts[static_cast<int>(marker)] = nLineStart;
    }
};

bool Rewound(int fd, std::string& error) {
    int64_t at = 0;
    const gibo::Status s = gibo::SeekFd(fd, 0, SEEK_SET, at);
    error = s ? std::strerror(s) : "";
    return s == 0;
}

bool Ended(const gibo::RecordScanner& scanner, std::string& error) {
    error = scanner.ReadFailure() ? std::strerror(scanner.ReadFailure()) : "";
    return scanner.ReadFailure() == 0;
}

}  // namespace

bool ScanLayout(int fd, RecordLayout& layout, std::string& error) {
    layout = RecordLayout();
    Positions found;
    if (!Rewound(fd, error)) {
        return false;
    }
    gibo::RecordScanner scanner(fd, "", &found);
    CString header;
    if (!scanner.ReadHeader(header)) {
        layout.header = header.str();
        layout.heLineEnd = scanner.Position();
        scanner.Find(Marker::Gs);
    }
    layout.hs = found.offsets[static_cast<int>(Marker::Hs)];
    layout.he = found.offsets[static_cast<int>(Marker::He)];
    layout.gs = found.offsets[static_cast<int>(Marker::Gs)];
    layout.gsLineStart = found.lineStarts[static_cast<int>(Marker::Gs)];
    return Ended(scanner, error);
}

bool FindLineWithMarker(int fd, Marker marker, long long& line, std::string& error) {
    Positions found;
    if (!Rewound(fd, error)) {
        return false;
    }
    gibo::RecordScanner scanner(fd, "", &found);
    scanner.Find(marker);
    line = found.lineStarts[static_cast<int>(marker)];
    return Ended(scanner, error);
}
