// gibo get and gibo set: header items of a record.
#include <fstream>
#include <iterator>

#include "checker.h"
#include "commands.h"
#include "errors.h"
#include "header_items.h"
#include "workdir.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

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
    "the value loses its blanks at either end) and rewrites the record in place, atomically.\n"
    "Everything from \\GS on (body and audio) stays byte for byte as it was: a record whose\n"
    "body the library would rewrite (LF line ends, blanks at line ends, reference blocks after\n"
    "the body) is left unchanged and reported, unless --normalize is given. Setting TYPE\n"
    "changes the record type; SZAUDIO follows the audio and cannot be set.\n"
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
    for (size_t i = 1; i < args.operands.size(); ++i) {
        std::string tag;
        if (!tool.Input(args.operands[i], tool.HeaderCodepage(), tag, error)) {
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
        map.Add(args.operands[i], Value::Str(tool.Header(value)));
        items.Push(Value::NamedItem(args.operands[i], tool.Header(value)));
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
    PrivateDir dir;
    LoadedRecord loaded;
    if (!LoadPrivately(path, dir, loaded, error)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    unsigned char type = loaded.type;
    for (const auto& change : changes) {
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
    // again through SaveFile (atomic, and a link stays a link), only when everything from \GS
    // on came out byte for byte the same, since a body the library would normalise, or
    // reference blocks after it, would otherwise change or vanish without a word.
    const std::string audio = loaded.hasAudio ? loaded.audioPath.str() : std::string();
    auto save = [&](const std::string& to) {
        try {
            if (loaded.record.SaveFile(type, to.c_str(), loaded.bodyPath, audio.c_str())) {
                return true;
            }
            error = SaveErrorText(loaded.record.GetError());
        } catch (const CFileException& e) {
            error = std::string("write error: ") + e.what();
        }
        return false;
    };
    if (!save(dir.Scratch())) {
        tool.Error(path, error);
        return kExitFailed;
    }
    const std::string before = ReadAll(path), after = ReadAll(dir.Scratch());
    size_t beforeBody = 0, afterBody = 0;
    const bool same =
        FindBodyStart(before, beforeBody) && FindBodyStart(after, afterBody) &&
        before.compare(beforeBody, std::string::npos, after, afterBody, std::string::npos) == 0;
    if (!same && !args.Has("--normalize")) {
        tool.Error(path,
                   "not changed: rewriting would alter the body or drop what follows it (lines "
                   "not in the form the library writes, or reference blocks after the body); "
                   "--normalize rewrites it anyway");
        return kExitFailed;
    }
    if (!save(path)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

const char kCommonOptionsHelp[] =
    "\n"
    "Options of every subcommand:\n"
    "  --json             one JSON object per record on stdout (UTF-8)\n"
    "  --raw              no conversion: texts as the record's bytes (GBK), arguments as typed\n"
    "  --encoding CP      code page of header values: GBK (default), CP949, BIG5, SHIFT_JIS\n"
    "  --nation N         the host's nation code (foreign players are shown by nick)\n"
    "  -h, --help         this help\n"
    "\n"
    "Exit status: 0 all good, 1 some record failed, 2 usage error.\n";

bool ParseAssignment(Tool& tool, const std::string& text, std::string& tag, std::string& value,
                     std::string& error) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "\"" + text + "\" is not TAG=VALUE";
        return false;
    }
    return tool.Input(text.substr(0, eq), tool.HeaderCodepage(), tag, error) &&
           tool.Input(text.substr(eq + 1), tool.HeaderCodepage(), value, error);
}

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
