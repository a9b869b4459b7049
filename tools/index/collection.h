// The records an index run covers: canonical paths with size and modification time, and the
// parts of the file system the run saw completely, so that only records that really vanished
// are removed from the index.
#ifndef GIBO_TOOLS_INDEX_COLLECTION_H
#define GIBO_TOOLS_INDEX_COLLECTION_H

#include <string>
#include <vector>

struct FileStamp {
    std::string path;  // canonical: absolute, through no link, without "." or ".."
    long long size = -1;
    long long mtime = 0;  // nanoseconds since the epoch
    unsigned long long dev = 0, ino = 0;
    bool exists = false;
};

struct Collection {
    std::vector<FileStamp> records;     // in the order to index them, one per real file
    std::vector<std::string> dirs;      // walked directories, each ending in "/"
    std::vector<std::string> missing;   // record operands that do not exist
    std::vector<std::string> errors;    // "DIR: reason" of directories that could not be read
    std::vector<std::string> unread;    // those directories, each ending in "/"
    std::vector<std::string> excluded;  // files that are no records (Exclude)

    // Whether a record that the index holds but this run did not meet is to be removed: it was
    // below a directory walked completely, or given by name, and no longer exists; or it is
    // excluded.
    bool Vanished(const std::string& path) const;
    // Drops the files at these paths (canonical) from the records: the index's own files.
    void Exclude(const std::vector<std::string>& paths);
};

// Operands are directories (every *.gib below them, sorted; symbolic links to directories
// are not followed) or records.
Collection Collect(const std::vector<std::string>& operands);

// The canonical name of path, or of its directory and its own name where path does not
// exist; the absolute name where neither does.
std::string Canonical(const std::string& path);

#endif  // GIBO_TOOLS_INDEX_COLLECTION_H
