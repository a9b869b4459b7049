// gibo get and gibo set: header items of a record.
#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "os/signals.h"
#include "os/workdir.h"
#include "record/header_items.h"
#include "record/layout.h"

namespace {

const char kGetHelp[] =
    "Usage: gibo get [OPTIONS] RECORD TAG...\n"
    "\n"
    "Prints the values of header items, as the library's GetParam reads them (the first item\n"
    "of the tag), without the blanks and line ends at either end. With one tag only the value\n"
    "is printed; with several, one \"TAG: value\" line each. A missing item is an error.\n";

const char kSetHelp[] =
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

int RunGet(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give a record and at least one tag");
    }
    const std::string& path = args.operands[0];
    std::string error;
    PrivateDir dir;
    LoadedRecord loaded;
    if (!LoadPrivately(path, dir, loaded, error)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    int status = kExitOk;
    Value items = Value::List();
    Value map = Value::Map();
    const Codepage cp = tool.ChooseCodepage(loaded.record.m_strHeader.str()).cp;
    for (size_t i = 1; i < args.operands.size(); ++i) {
        std::string tag;
        if (!tool.Input(args.operands[i], cp, tag, error)) {
            return tool.Usage(error);
        }
        int found = 0;
        const std::string value = TrimValue(loaded.record.GetParam(tag.c_str(), found).str());
        if (!found) {
            tool.Error(path, "no item " + args.operands[i]);
            status = kExitFailed;
            map.Add(args.operands[i], Value());
            continue;
        }
        map.Add(args.operands[i], Value::Str(tool.Header(value, cp)));
        items.Push(Value::NamedItem(args.operands[i], tool.Header(value, cp)));
    }
    if (tool.Json()) {
        Value v = Value::Map();
        v.Add("file", Value::Str(tool.Path(path)));
        v.Add("items", std::move(map));
        tool.Emit(v);
    } else if (args.operands.size() == 2) {
        if (status == kExitOk) {
            tool.Emit(*map.Find(args.operands[1]));
        }
    } else {
        tool.Emit(items);
    }
    return status;
}

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

int RunSet(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give a record and at least one TAG=VALUE");
    }
    const std::string& path = args.operands[0];
    std::vector<std::pair<std::string, std::string>> changes;
    for (size_t i = 1; i < args.operands.size(); ++i) {
        std::string tag, value, error;
        if (!ParseAssignment(tool, args.operands[i], tag, value, error)) {
            return tool.Usage(error);
        }
        if (tag == "SZAUDIO") {
            return tool.Usage("SZAUDIO follows the audio trailer and cannot be set");
        }
        changes.emplace_back(tag, value);
    }
    std::string error;
    // Locked from the load to the replacement, so that parallel runs edit one after another.
    InputFile in;
    if (!LockForEdit(path, in, error)) {
        tool.Error(path, LoadErrorText(GIBO_ERR_OPEN) + " (" + error + ")");
        return kExitFailed;
    }
    if ((in.Mode() & 0222) == 0) {
        tool.Error(path, "the record is read-only; make it writable to change it");
        return kExitFailed;
    }
    PrivateDir dir;
    LoadedRecord loaded;
    if (!LoadPrivately(in, dir, loaded, error)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    unsigned char type = loaded.type;
    CGiboFile before;  // the header as it was, for the note on the items SaveFile adds
    unsigned char typeBefore = 0;
    before.LoadStream(loaded.record.m_strHeader, typeBefore);
    for (const auto& change : changes) {
        const std::string hit = ItemMatching(loaded.record.m_strHeader.str(), change.first);
        if (!hit.empty() && hit != change.first) {
            const Codepage cp = tool.ChooseCodepage(loaded.record.m_strHeader.str()).cp;
            return tool.Usage(tool.Header(change.first, cp) + " would change the item " +
                              tool.Header(hit, cp) +
                              " (tags match by their beginning); give a tag in full");
        }
        if (change.first == "TYPE") {
            long n = 0;
            if (!ParseNumber(TrimValue(change.second), 0, 255, n)) {
                return tool.Usage("TYPE must be a number from 0 to 255");
            }
            // SaveFile writes the type it is given over the item, so the new type goes there.
            type = static_cast<unsigned char>(n);
        }
        loaded.record.SetParam(change.first.c_str(), change.second.c_str());
    }
    // The side files of the private load hold the body and audio as LoadFile read them.
    // SaveFile writes the record into the private directory first; it writes the real record,
    // again through SaveFile (atomic, and a link stays a link), only when nothing but the
    // header items would change: the library drops what stands outside its parts, and
    // rewrites a body that is not in its own form.
    const std::string audio = loaded.hasAudio ? loaded.audioPath.str() : std::string();
    auto save = [&](const std::string& to) {
        // The library's temporary is its own to remove: a stop waits until SaveFile is done.
        DeferSignals defer;
        try {
            if (loaded.record.SaveFile(type, to.c_str(), loaded.bodyPath, audio.c_str())) {
                return true;
            }
            const unsigned long code = loaded.record.GetError();
            const std::string why = code == GIBO_ERR_CREATE ? WhyNotReplaceable(to) : "";
            error = why.empty() ? SaveErrorText(code) : why;
        } catch (const CFileException& e) {
            error = "write error: " + SystemReason(static_cast<int>(e.m_lOsError));
        }
        return false;
    };
    if (!save(dir.Scratch())) {
        tool.Error(path, error + " (in the private directory " + dir.Path() + ")");
        return kExitFailed;
    }
    const std::string lost = WhatRewritingLoses(in, dir.Scratch(), error);
    if (!error.empty()) {
        tool.Error(path, error);
        return kExitFailed;
    }
    if (!lost.empty() && !args.Has("--normalize")) {
        tool.Error(path, "not changed: rewriting would alter or drop " + lost +
                             "; --normalize rewrites it anyway");
        return kExitFailed;
    }
#ifdef _WIN32
    in.Close();  // Windows replaces no file that is open; nothing is locked there anyway
#endif
    if (!save(path)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    for (const char* tag : {"TYPE", "SZAUDIO"}) {
        int found = 0;
        before.GetParam(tag, found);
        if (!found) {
            tool.Error(path, std::string("note: the library's writer adds the item ") + tag +
                                 ", which the record lacks");
        }
    }
    return kExitOk;
}

}  // namespace

Command GetCommand() {
    return {"get", "print header items of a record", kGetHelp, {}, RunGet};
}

Command SetCommand() {
    return {"set",
            "change header items of a record in place",
            kSetHelp,
            {{"--normalize", false}},
            RunSet};
}
