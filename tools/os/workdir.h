// A private temporary directory for loading records without writing beside them: LoadFile puts
// its side files next to the record, so the tool loads a link to the record from here, and
// removes the directory afterwards (also when a signal stops the run). A batch uses one
// directory for all its records, RAM-backed where possible: a directory and side files per
// record on a journalling disk cost many times what reading the records does.
#ifndef GIBO_TOOLS_OS_WORKDIR_H
#define GIBO_TOOLS_OS_WORKDIR_H

#include <string>

class InputFile;

class PrivateDir {
public:
    // In os::TempBase(); for an edit, hidden beside the record it changes, so that its copies
    // of the body and audio stay on the record's file system. Either way the directories that
    // killed runs of this user left there are removed first.
    PrivateDir();
    explicit PrivateDir(const std::string& besideRecord);
    ~PrivateDir();  // removes the files it holds and the directory
    PrivateDir(const PrivateDir&) = delete;
    PrivateDir& operator=(const PrivateDir&) = delete;

    // Makes way for the next record's load: only a large audio file is removed, since the
    // loader replaces what stands at the side files' names itself.
    void Clear() const;
    // Makes Record() lead to the open file in: a link, or a copy where there are no links.
    // False with a message when the directory could not be made, or the copy does not fit.
    bool Hold(const InputFile& in, std::string& error) const;
    // Whether the last load left an audio file, to be removed by Clear.
    void KeepsAudio(bool audio) const { m_audio = audio; }
    // Why a private copy of what ("record", "body", "audio") of need bytes could not be made
    // here, saying where the room ran out.
    std::string NoRoom(const std::string& what, const std::string& why, long long need) const;

    const std::string& Path() const { return m_path; }
    // Only these names are used inside, so that a signal handler can remove them.
    std::string Record() const { return m_path + "/record.gib"; }
    std::string Body() const { return m_path + "/record.lbk"; }
    std::string Audio() const { return m_path + "/record.lao"; }
    std::string Scratch() const { return m_path + "/scratch"; }

private:
    PrivateDir(const std::string& base, const char* prefix);

    std::string m_base;
    std::string m_path;
    int m_slots[5] = {-1, -1, -1, -1, -1};  // registered for removal when a signal stops the run
    mutable std::string m_linked;  // where the link at Record() leads; empty when none stands
    mutable bool m_audio = false;  // the last load left an audio file
};

#endif  // GIBO_TOOLS_OS_WORKDIR_H
