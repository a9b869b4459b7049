// The tool's one way to put a file in place when the library's SaveFile does not write it (side
// files, reference files): a temporary with a random name is created exclusively beside the
// target, written through its descriptor, synced and renamed over the target. Nothing is
// written through a link (a link at the target is replaced, not followed), the file that is
// being read is never the target, and what stood there stays until the new file is complete.
#ifndef GIBO_TOOLS_OS_REPLACE_H
#define GIBO_TOOLS_OS_REPLACE_H

#include <string>

class InputFile;

class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();  // removes the temporary unless Commit() succeeded
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False with a message when the target is a directory, is the file source reads, or the
    // temporary cannot be created in its directory.
    bool Begin(const std::string& target, const InputFile* source, std::string& error);
    bool CopyFrom(int fd, long long offset, std::string& error);  // from offset to the end
    // Where the new file is written until Commit(), for writers that open it by name.
    const std::string& TempPath() const { return m_temp; }
    // The new file takes the owner, group and mode of the file it replaces (a new one the
    // usual mode), reaches the disk, and replaces the target.
    bool Commit(std::string& error);

private:
    void Discard();

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    int m_slot = -1;
};

#endif  // GIBO_TOOLS_OS_REPLACE_H
