// Loading a record without writing beside it. LoadFile puts its side files next to the record;
// the tool instead loads a link to the record from a private temporary directory, so that the
// side files land there, and removes the directory afterwards (also when a signal stops it).
// A batch uses one directory for all its records, on a RAM-backed folder where there is one:
// creating and removing a directory and side files per record on a journalling disk cost many
// times what reading the records does.
#ifndef GIBO_TOOLS_OS_WORKDIR_H
#define GIBO_TOOLS_OS_WORKDIR_H

#include <string>

#include "GiboFile.h"

class InputFile;

class PrivateDir {
public:
    // In $TMPDIR when it is set, else in $XDG_RUNTIME_DIR or /dev/shm (RAM-backed), else in the
    // system's temporary folder.
    PrivateDir();
    ~PrivateDir();  // removes the files it holds and the directory
    // Makes way for the next record's load. The loader itself replaces whatever stands at the
    // side files' names, and the link stays while it leads to the same name, so that a batch of
    // records without audio makes no system call here.
    void Clear() const;
    PrivateDir(const PrivateDir&) = delete;
    PrivateDir& operator=(const PrivateDir&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // Only these names are used inside, so that a signal handler can remove them.
    std::string Record() const { return m_path + "/record.gib"; }
    std::string Body() const { return m_path + "/record.lbk"; }
    std::string Audio() const { return m_path + "/record.lao"; }
    std::string Scratch() const { return m_path + "/scratch"; }

private:
    friend bool LoadPrivately(const InputFile&, const PrivateDir&, struct LoadedRecord&,
                              std::string&);
    std::string m_path;
    int m_slots[5] = {-1, -1, -1, -1, -1};  // registered for removal when a signal stops the run
    mutable std::string m_linked;  // where the link at Record() leads; empty when none stands
    mutable bool m_audio = false;  // the last load left an audio file
};

struct LoadedRecord {
    CGiboFile record;
    CString bodyPath;
    CString audioPath;
    unsigned char type = 255;
    int hasAudio = 0;
    // Bytes of the audio, the last SZAUDIO bytes of the file, that lie before the end of the
    // body's last line: a size the writer cannot have written, which the loader still takes.
    long long audioInBody = 0;
};

// Opens the record at path for loading; false with the library's open error and the reason.
bool OpenRecord(const std::string& path, InputFile& in, std::string& error);

// Loads the record at path, or the file in (already open), through dir. False with a message
// that names the library's error code, or says why the file could not be reached; a private
// copy that does not fit in the temporary directory is named as such, with where it was made.
bool LoadPrivately(const std::string& path, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error);
bool LoadPrivately(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error);

#endif  // GIBO_TOOLS_OS_WORKDIR_H
