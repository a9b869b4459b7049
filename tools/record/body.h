// The sizes of a loaded record's side files: the body's lines and STO records, the audio's bytes.
#ifndef GIBO_TOOLS_RECORD_BODY_H
#define GIBO_TOOLS_RECORD_BODY_H

#include <string>

struct BodyCounts {
    long long lines = 0;
    long long records = 0;  // lines that begin with "STO"
};

// Counts the body file at path; false, with the counts 0, when it cannot be read.
bool CountBody(const std::string& path, BodyCounts& counts);

// The size of the file at path; -1 when it cannot be read.
long long FileSize(const std::string& path);

#endif  // GIBO_TOOLS_RECORD_BODY_H
