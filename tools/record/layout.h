// Where the loader finds the parts of a record file, found by the library's scanner in one pass
// over the file in fixed pieces: a record of any size costs no more memory than its header.
#ifndef GIBO_TOOLS_RECORD_LAYOUT_H
#define GIBO_TOOLS_RECORD_LAYOUT_H

#include <string>

#include "reading/RecordScanner.h"

struct RecordLayout {
    long long hs = -1;           // the \HS marker
    long long he = -1;           // the \HE marker
    long long heLineEnd = -1;    // just past the line end of the \HE line
    long long gsLineStart = -1;  // the line that holds \GS
    long long gs = -1;           // the \GS marker: the body starts here; -1 when there is none
    std::string header;          // as the loader reads it, lines ended with CR LF
};

// Reads fd from its start. False with the system's reason on a read error. heLineEnd is only
// meant when the body was found.
bool ScanLayout(int fd, RecordLayout& layout, std::string& error);

// The start of the first line of fd (from its start) that holds the marker, or -1.
bool FindLineWithMarker(int fd, gibo::Marker marker, long long& line, std::string& error);

#endif  // GIBO_TOOLS_RECORD_LAYOUT_H
