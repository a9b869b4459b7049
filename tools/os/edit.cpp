// The edit rule and the tool's replacements.
#include "os/edit.h"

#include <cstdio>

#include "GiboFile.h"
#include "cli/errors.h"
#include "framework/Paths.h"
#include "framework/SysFile.h"
#include "os/input.h"
#include "os/signals.h"
#include "os/system.h"
#include "writing/Save.h"

// Another program put something else at the name after the tool checked it.
const char kNameChanged[] =
    "not changed: another program put something else at its name while it was being changed";

std::string WhyNotEditable(const gibo::FileId& id, const std::string& path) {
    if (id.bExists && id.bRegular && (id.nMode & 0222) == 0) {
        return "not changed: the file is read-only; make it writable to change it";
    }
    // A link is replaced, not followed: only the directory counts then.
    const std::string why = os::WhyNotReplaceable(path, id.bExists && id.bRegular);
    return why.empty() ? why : "not changed: " + why;
}

gibo::FileId WhatStandsAt(const std::string& path) {
    gibo::Fd dir;
    gibo::FileId id;
    if (gibo::OpenDirectoryOf(path.c_str(), dir) == 0) {
        gibo::LookAt(dir, path.c_str(), id);
    }
    return id;
}

bool SaveRecord(CGiboFile& record, unsigned char type, const std::string& to,
                const std::string& body, const std::string& audio, const gibo::FileId* expected,
                std::string& error, unsigned long& code) {
    code = 0;
    DeferSignals defer;
    try {
        bool moved = false;
        if (expected ? gibo::SaveExpecting(record, type, to.c_str(), body.c_str(), audio.c_str(),
                                           *expected, moved)
                     : record.SaveFile(type, to.c_str(), body.c_str(), audio.c_str())) {
            return true;
        }
        if (moved) {
            error = kNameChanged;
            return false;
        }
        code = record.GetError();
        const std::string why = code == GIBO_ERR_CREATE ? os::WhyNotReplaceable(to) : "";
        error = why.empty() ? SaveErrorText(code) : why;
    } catch (const CFileException& e) {
        error = "write error: " + SystemReason(static_cast<int>(e.m_lOsError));
    }
    return false;
}

EditedFile::~EditedFile() {
    ForgetTemporary(m_slot);
}

bool EditedFile::Begin(const std::string& target, const gibo::FileId* expected,
                       std::string& error) {
    m_target = target;
    DeferSignals defer;  // made and registered in one step, so that a stop finds it
    const gibo::Status s = m_out.Begin(target.c_str(), expected);
    if (s == 0) {
        error = WhyNotEditable(m_out.Original(), target);
        m_slot = RegisterTemporary(m_out.TempPath());
        return error.empty();
    }
    if (s == gibo::kOtherFile) {
        error = kNameChanged;
    } else if (s == EISDIR) {
        error = "is a directory";
    } else {
        const std::string dir = gibo::DirectoryOf(target);
        error = "cannot create a file in " + (dir.empty() ? std::string(".") : dir) + ": " +
                SystemReason(s);
    }
    return false;
}

bool EditedFile::CopyFrom(int fd, long long offset, std::string& error) {
    int64_t at = 0;
    gibo::Status s = gibo::SeekFd(fd, offset, SEEK_SET, at);
    s = s ? s
          : gibo::CopyRest(fd, m_out.Fd());  // as the library copies: in the system where it can
    if (s != 0) {
        error = "copy error: " + SystemReason(s);
        return false;
    }
    return true;
}

bool EditedFile::Commit(std::string& error) {
    const gibo::Status s = m_out.Commit();
    if (s != 0) {
        error =
            s == gibo::kOtherFile ? kNameChanged : "cannot replace the file: " + SystemReason(s);
        return false;
    }
    return true;
}
