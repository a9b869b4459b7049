// Validation of a record file's container: what the loader would stumble over, and what it
// would quietly take in a way the writer did not mean.
#ifndef GIBO_TOOLS_CHECKER_H
#define GIBO_TOOLS_CHECKER_H

#include <istream>
#include <string>
#include <vector>

struct Problem {
    int line;  // 1-based; 0 when the problem belongs to the whole file
    bool error;
    std::string message;  // ASCII, or bytes of the record quoted in it
};

// Reads the file as the loader does: lines up to the one holding \GE, the audio as the last
// SZAUDIO bytes. Only the header is kept, so that a record with a long body or a large audio
// trailer costs no more memory than its header and its longest line; header receives it.
std::vector<Problem> CheckRecord(std::istream& in, std::string& header);

#endif  // GIBO_TOOLS_CHECKER_H
