// Validation of a record file's container: what the loader would stumble over, and what it
// would quietly take in a way the writer did not mean.
#ifndef GIBO_TOOLS_RECORD_CHECKER_H
#define GIBO_TOOLS_RECORD_CHECKER_H

#include <string>
#include <vector>

struct Problem {
    int line;  // 1-based; 0 when the problem belongs to the whole file
    bool error;
    std::string message;  // ASCII, or bytes of the record quoted in it
};

// What LoadFile makes of the record: the code it fails with (0 when it loads) and the parameter
// text it leaves, lines ended with CR LF. The audio size is the one the library reads from that
// text, so that the two agree on any header, however oddly written.
struct LoadVerdict {
    unsigned long error = 0;
    std::string header;
};

// Reads the record open at fd, of size bytes, through the library's scanner, as the loader reads
// it: only the header is kept, and lines outside it are read in pieces, so that a record with
// long lines or a large audio trailer costs no more memory than its header.
std::vector<Problem> CheckRecord(int fd, long long size, LoadVerdict& load);

#endif  // GIBO_TOOLS_RECORD_CHECKER_H
