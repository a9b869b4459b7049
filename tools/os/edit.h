// What an edit may touch, and how the tool puts an edited file in place: every writing command
// (set, add-ref, split, join) applies the same rule with the same words, and writes through the
// library's own replacement (a temporary beside the target, on disk before the rename, owner and
// mode kept, only over the file that was checked).
#ifndef GIBO_TOOLS_OS_EDIT_H
#define GIBO_TOOLS_OS_EDIT_H

#include <string>

#include "framework/FileSystem.h"

// Why the file id found at path must not be replaced by an edit: a read-only file, or one the
// caller may not write, or a directory the caller may not write into. Empty when it may (nothing
// stands there, or a link, which is replaced and not followed).
std::string WhyNotEditable(const gibo::FileId& id, const std::string& path);

// What stands at path now, a link itself and not what it leads to.
gibo::FileId WhatStandsAt(const std::string& path);

class CGiboFile;

// Writes record with the library's SaveFile to `to`, from the body and audio files (audio empty:
// none), only over the file expected when given; stops wait until SaveFile has removed its own
// temporary. False with a message; code is then the library's error code, 0 for another failure.
bool SaveRecord(CGiboFile& record, unsigned char type, const std::string& to,
                const std::string& body, const std::string& audio, const gibo::FileId* expected,
                std::string& error, unsigned long& code);

class EditedFile {
public:
    EditedFile() = default;
    ~EditedFile();
    EditedFile(const EditedFile&) = delete;
    EditedFile& operator=(const EditedFile&) = delete;

    // Checks what stands at target by WhyNotEditable and starts its replacement; expected, when
    // given, is the file that must still stand there (the one locked and read). False with a
    // message.
    bool Begin(const std::string& target, const gibo::FileId* expected, std::string& error);
    const gibo::FileId& Original() const { return m_out.Original(); }
    // Where the new file is written until Commit(), for writers that open it by name.
    const std::string& TempPath() const { return m_out.TempPath(); }
    bool CopyFrom(int fd, long long offset, std::string& error);  // from offset to the end
    // Puts the new file in place, only over the file Begin found. False with a message.
    bool Commit(std::string& error);

private:
    gibo::Replacement m_out;
    std::string m_target;
    int m_slot = -1;
};

#endif  // GIBO_TOOLS_OS_EDIT_H
