// Validation of a record file's container: what the loader would stumble over, and what it
// would quietly take in a way the writer did not mean.
#ifndef GIBO_TOOLS_CHECKER_H
#define GIBO_TOOLS_CHECKER_H

#include <string>
#include <vector>

struct Problem {
    int line;  // 1-based; 0 when the problem belongs to the whole file
    bool error;
    std::string message;  // ASCII, or bytes of the record quoted in it
};

// Reads the file as the loader does: lines up to the one holding \GE, the audio as the last
// SZAUDIO bytes. bytes: the file up to the end of the body at least; fileSize: all of it.
std::vector<Problem> CheckRecordBytes(const std::string& bytes, long long fileSize);

#endif  // GIBO_TOOLS_CHECKER_H
