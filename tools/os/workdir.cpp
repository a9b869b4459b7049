// Private temporary directories.
#include "os/workdir.h"

#include <cstdio>
#include <filesystem>

#include "framework/Paths.h"
#include "os/input.h"
#include "os/signals.h"
#include "os/system.h"

namespace fs = std::filesystem;

PrivateDir::PrivateDir() : PrivateDir(os::TempBase(), "gibo-") {}

PrivateDir::PrivateDir(const std::string& besideRecord)
    : PrivateDir(gibo::DirectoryOf(besideRecord).empty() ? std::string(".")
                                                         : gibo::DirectoryOf(besideRecord),
                 ".gibo-") {}

PrivateDir::PrivateDir(const std::string& base, const char* prefix) : m_base(base) {
    os::RemoveStaleDirs(base, prefix);
    DeferSignals defer;  // made and registered in one step, so that a stop finds it
    const std::string path = os::MakePrivateDir(base, prefix);
    if (path.empty()) {
        return;
    }
    m_path = path;
    const std::string names[] = {path, Record(), Body(), Audio(), Scratch()};
    bool registered = true;
    for (int i = 0; i < 5; ++i) {
        m_slots[i] = RegisterTemporary(names[i], i == 0);
        registered = registered && m_slots[i] >= 0;
    }
    if (!registered) {
        fs::remove(path);
        m_path.clear();
    }
}

PrivateDir::~PrivateDir() {
    std::error_code ec;
    if (!m_path.empty()) {
        fs::remove_all(m_path, ec);
    }
    for (int slot : m_slots) {
        ForgetTemporary(slot);
    }
}

void PrivateDir::Clear() const {
    if (m_audio) {
        std::remove(Audio().c_str());  // large, perhaps: not kept until the next record with audio
        m_audio = false;
    }
}

bool PrivateDir::Hold(const InputFile& in, std::string& error) const {
    if (m_path.empty()) {
        error = "cannot create a private temporary directory in " + m_base +
                (m_base == os::TempBase() ? "; set TMPDIR to a writable directory" : "");
        return false;
    }
    Clear();  // what the previous record of a batch left
    // Records of a batch are opened one after another under the same descriptor number, so
    // that one link serves them all.
    if (m_linked == in.OpenedName()) {
        return true;
    }
    std::error_code ec;
    std::remove(Record().c_str());
    m_linked.clear();
    fs::create_symlink(in.OpenedName(), Record(), ec);
    if (!ec) {
        m_linked = in.OpenedName();
        return true;
    }
    // No symbolic links here (Windows without the privilege): work on a copy.
    ec.clear();
    fs::copy_file(in.OpenedName(), Record(), ec);
    if (ec) {
        error = NoRoom("record", ec.message(), in.Size());
        return false;
    }
    return true;
}

std::string PrivateDir::NoRoom(const std::string& what, const std::string& why,
                               long long need) const {
    return "cannot make the private copy of the " + what + " in " + Path() + " (" + why +
           "); it needs up to " + std::to_string(need) +
           " bytes there: set TMPDIR to a directory with that much room";
}
