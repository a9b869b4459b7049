// The records an index run covers: absolute paths with size and modification time, and the
// parts of the file system the run saw completely, so that only records that really vanished
// are removed from the index.
#ifndef GIBO_TOOLS_INDEX_COLLECTION_H
#define GIBO_TOOLS_INDEX_COLLECTION_H

#include <string>
#include <vector>

struct FileStamp {
    std::string path;  // absolute, normalised
    long long size = -1;
    long long mtime = 0;  // nanoseconds since the epoch
    bool exists = false;
};

struct Collection {
    std::vector<FileStamp> records;    // in the order to index them
    std::vector<std::string> dirs;     // walked directories, each ending in "/"
    std::vector<std::string> missing;  // record operands that do not exist
    std::vector<std::string> errors;   // "DIR: reason" of directories that could not be read
    std::vector<std::string> unread;   // those directories, each ending in "/"

    // Whether a record that the index holds but this run did not meet has vanished.
    bool Vanished(const std::string& path) const;
};

// Operands are directories (every *.gib below them, sorted; symbolic links to directories
// are not followed) or records.
Collection Collect(const std::vector<std::string>& operands);

FileStamp Stamp(const std::string& path);

#endif  // GIBO_TOOLS_INDEX_COLLECTION_H
