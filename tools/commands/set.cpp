// gibo set: changes header items of a record in place.
#include "cli/command.h"
#include "cli/errors.h"
#include "os/edit.h"
#include "os/input.h"
#include "os/system.h"
#include "os/workdir.h"
#include "record/header_items.h"
#include "record/layout.h"
#include "record/loading.h"

namespace {

const char kHelp[] =
    "Usage: gibo set [OPTIONS] RECORD TAG=VALUE...\n"
    "\n"
    "Changes or adds header items (the library's SetParam: a backslash becomes a blank and\n"
    "the value loses its blanks at either end) and rewrites the record in place, atomically,\n"
    "with the record locked against other runs. Tags are given in full (the library matches\n"
    "them by their beginning). Everything from \\GS on (body and audio) stays byte for byte as\n"
    "it was: a record the library would rewrite otherwise (bytes before \\HS, lines between\n"
    "\\HE and \\GS, LF line ends, blanks at line ends, reference blocks after the body) is left\n"
    "unchanged and reported, unless --normalize is given. A read-only record is refused.\n"
    "Setting TYPE changes the record type; SZAUDIO follows the audio and cannot be set.\n"
    "\n"
    "  --normalize        rewrite the record even when its body changes form\n";

// The item SetParam would change for tag: the first whose tag begins with it, as the library
// matches tags by their beginning. Empty when there is none.
std::string ItemMatching(const std::string& header, const std::string& tag) {
    for (const HeaderItem& item : ListHeaderItems(header)) {
        if (item.tag.compare(0, tag.size(), tag) == 0) {
            return item.tag;
        }
    }
    return std::string();
}

// What rewriting the record would drop or change, read off both files' layouts; empty when
// nothing would.
std::string WhatRewritingLoses(const InputFile& before, const std::string& after,
                               std::string& error) {
    InputFile written;
    RecordLayout a, b;
    if (!ScanLayout(before.Fd(), a, error) || !written.Open(after, error) ||
        !ScanLayout(written.Fd(), b, error) || a.gs < 0 || b.gs < 0) {
        return error.empty() ? "the written record cannot be read back" : std::string();
    }
    std::string lost;
    auto add = [&lost](const char* what) {
        lost += (lost.empty() ? "" : ", ") + std::string(what);
    };
    if (a.hs != 0) {
        add("bytes before \\HS");
    }
    char rest[2] = {0, 0};
    size_t got = 0;
    const long long afterHe = a.heLineEnd - (a.he + 3);  // the line end at least
    if (afterHe > 2 ||
        (afterHe == 2 && ReadAt(before.Fd(), a.he + 3, rest, 2, got, error) && rest[0] != '\r')) {
        add("text after \\HE on its line");
    }
    if (a.gsLineStart != a.heLineEnd) {
        add("lines between \\HE and \\GS");
    }
    if (a.gs != a.gsLineStart) {
        add("text before \\GS on its line");
    }
    if (!SameTail(before.Fd(), a.gs, written.Fd(), b.gs, error)) {
        add("the body or what follows it (lines not in the form the library writes, or "
            "reference blocks after the body)");
    }
    return lost;
}

using Changes = std::vector<std::pair<std::string, std::string>>;

// The TAG=VALUE operands after the record, as bytes of the header's code page. False with a
// usage message.
bool ParseChanges(Tool& tool, const Args& args, Changes& changes, std::string& error) {
    for (size_t i = 1; i < args.operands.size(); ++i) {
        std::string tag, value;
        if (!ParseAssignment(tool, args.operands[i], tag, value, error)) {
            return false;
        }
        if (tag == "SZAUDIO") {
            error = "SZAUDIO follows the audio trailer and cannot be set";
            return false;
        }
        changes.emplace_back(tag, value);
    }
    return true;
}

// Opens and locks the record for the edit: locked from the load to the replacement, so that
// parallel runs edit one after another.
bool OpenForEdit(Tool& tool, const std::string& path, InputFile& in, std::string& error) {
    const auto waiting = [&tool, &path] {
        tool.Error(path, "waiting: another run is changing this record and holds its lock");
    };
    if (!os::LockForEdit(path, in, error, true, waiting)) {
        error = LoadErrorText(GIBO_ERR_OPEN) + " (" + error + ")";
        return false;
    }
    error = WhyNotEditable(in.Identity(), path);
    return error.empty();
}

// SaveFile writes the record's type as a byte: a TYPE item out of that range would come back
// as another number, an item the user did not name. Refused unless the user sets TYPE.
bool TypeSurvives(Tool& tool, CGiboFile& record, const Changes& changes, std::string& error) {
    for (const auto& change : changes) {
        if (change.first == "TYPE") {
            return true;
        }
    }
    int found = 0;
    const std::string value = TrimValue(record.GetParam("TYPE", found).str());
    long n = 0;
    if (found && !ParseNumber(value, 0, 255, n)) {
        const Codepage cp = tool.ChooseCodepage(record.m_strHeader.str()).cp;
        error = "not changed: TYPE \"" + tool.Header(value, cp) +
                "\" is not a number from 0 to 255, and saving would change it; give TYPE=N";
        return false;
    }
    return true;
}

// Sets the items one after another, each checked against the header as the ones before left
// it; type takes a new TYPE. False with a usage message.
bool ApplyChanges(Tool& tool, const Changes& changes, CGiboFile& record, unsigned char& type,
                  std::string& error) {
    for (const auto& change : changes) {
        const std::string hit = ItemMatching(record.m_strHeader.str(), change.first);
        if (!hit.empty() && hit != change.first) {
            const Codepage cp = tool.ChooseCodepage(record.m_strHeader.str()).cp;
            error = tool.Header(change.first, cp) + " would change the item " +
                    tool.Header(hit, cp) + " (tags match by their beginning); give a tag in full";
            return false;
        }
        if (change.first == "TYPE") {
            long n = 0;
            if (!ParseNumber(TrimValue(change.second), 0, 255, n)) {
                error = "TYPE must be a number from 0 to 255";
                return false;
            }
            // SaveFile writes the type it is given over the item, so the new type goes there.
            type = static_cast<unsigned char>(n);
        }
        record.SetParam(change.first.c_str(), change.second.c_str());
    }
    return true;
}

// Writes the record to `to` from the side files of its private load, which hold the body and
// audio as LoadFile read them; only over the file expected, when given.
bool Save(LoadedRecord& loaded, unsigned char type, const std::string& to,
          const gibo::FileId* expected, std::string& error) {
    unsigned long code = 0;
    return SaveRecord(loaded.record, type, to, loaded.bodyPath.str(),
                      loaded.hasAudio ? loaded.audioPath.str() : std::string(), expected, error,
                      code);
}

// SaveFile writes the record into the private directory first; the real record is written,
// again through SaveFile (atomic, and a link stays a link), only when nothing but the header
// items would change: the library drops what stands outside its parts, and rewrites a body that
// is not in its own form.
bool SaveInPlace(const std::string& path, InputFile& in, const PrivateDir& dir,
                 LoadedRecord& loaded, unsigned char type, bool normalize, std::string& error) {
    if (!Save(loaded, type, dir.Scratch(), nullptr, error)) {
        error += " (in the private directory " + dir.Path() + ")";
        return false;
    }
    const std::string lost = WhatRewritingLoses(in, dir.Scratch(), error);
    if (!error.empty()) {
        return false;
    }
    if (!lost.empty() && !normalize) {
        error = "not changed: rewriting would alter or drop " + lost +
                "; --normalize rewrites it anyway";
        return false;
    }
    if (!os::ReplacesOpenFiles()) {
        in.Close();  // nothing is locked where files are not replaced while open
    }
    return Save(loaded, type, path, &in.Identity(), error);
}

// The items the library's writer adds when the record lacks them.
void NoteAddedItems(Tool& tool, const std::string& path, const CString& header) {
    CGiboFile before;
    unsigned char type = 0;
    before.LoadStream(header, type);
    for (const char* tag : {"TYPE", "SZAUDIO"}) {
        int found = 0;
        before.GetParam(tag, found);
        if (!found) {
            tool.Error(path, std::string("note: the library's writer adds the item ") + tag +
                                 ", which the record lacks");
        }
    }
}

int RunSet(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give a record and at least one TAG=VALUE");
    }
    const std::string& path = args.operands[0];
    Changes changes;
    std::string error;
    if (!ParseChanges(tool, args, changes, error)) {
        return tool.Usage(error);
    }
    InputFile in;
    if (!OpenForEdit(tool, path, in, error)) {
        return tool.Fail(path, error);
    }
    PrivateDir dir(path);
    LoadedRecord loaded;
    if (!LoadPrivately(in, dir, loaded, error)) {
        return tool.Fail(path, error);
    }
    if (!TypeSurvives(tool, loaded.record, changes, error)) {
        return tool.Fail(path, error);
    }
    const CString header = loaded.record.m_strHeader;  // as it was, for the note on added items
    unsigned char type = loaded.type;
    if (!ApplyChanges(tool, changes, loaded.record, type, error)) {
        return tool.Usage(error);
    }
    if (!SaveInPlace(path, in, dir, loaded, type, args.Has("--normalize"), error)) {
        return tool.Fail(path, error);
    }
    NoteAddedItems(tool, path, header);
    return kExitOk;
}

}  // namespace

Command SetCommand() {
    return {
        "set", "change header items of a record in place", kHelp, {{"--normalize", false}}, RunSet};
}
