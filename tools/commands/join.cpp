// gibo join: a record from a body file, an audio file and header items.
#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/edit.h"
#include "os/input.h"
#include "os/system.h"
#include "record/layout.h"

namespace {

const char kHelp[] =
    "Usage: gibo join [OPTIONS] OUT --body FILE [--audio FILE] --type N [--set TAG=VALUE]...\n"
    "\n"
    "Writes the record OUT with the library's SaveFile: the header items given with --set\n"
    "(values in the header's code page, see --encoding), the body file and the audio file.\n"
    "TYPE and SZAUDIO are written by SaveFile from --type and the audio file's size. OUT is\n"
    "replaced atomically: on failure a file already there stays as it was. A body holding\n"
    "\\GE (where readers would end the body) and a symbolic link at OUT are refused.\n"
    "\n"
    "  --body FILE        the body (the lines between \\GS and \\GE)\n"
    "  --audio FILE       the audio trailer (optional; it must exist when given)\n"
    "  --type N           the record type, 0 to 255\n"
    "  --set TAG=VALUE    a header item (may be repeated)\n";

// The record's type and header items from the options. False with a usage message.
bool TakeItems(Tool& tool, const Args& args, CGiboFile& record, long& type, std::string& error) {
    if (!args.Has("--body")) {
        error = "--body FILE is required";
        return false;
    }
    if (!args.Has("--type") || !ParseNumber(args.Get("--type"), 0, 255, type)) {
        error = "--type N is required, a number from 0 to 255";
        return false;
    }
    for (const std::string& assignment : args.GetAll("--set")) {
        std::string tag, value;
        if (!ParseAssignment(tool, assignment, tag, value, error)) {
            return false;
        }
        if (tag == "TYPE" || tag == "SZAUDIO") {
            error = tag + " is written from " + (tag == "TYPE" ? "--type" : "--audio");
            return false;
        }
        record.SetParam(tag.c_str(), value.c_str());
    }
    return true;
}

// Opens the body and the audio file. False with a message about the file named in file.
bool OpenParts(const Args& args, InputFile& body, InputFile& audio, std::string& file,
               std::string& error) {
    long long geLine = -1;
    file = args.Get("--body");
    if (!body.Open(file, error) ||
        !FindLineWithMarker(body.Fd(), gibo::Marker::Ge, geLine, error)) {
        error = "cannot read the body file (" + error + ")";
        return false;
    }
    // The loader ends the body at the first \GE; lines after it would be lost.
    if (geLine >= 0) {
        error = "the body holds \\GE (at byte " + std::to_string(geLine) +
                "), where readers would end the body";
        return false;
    }
    // SaveFile quietly writes a record without audio when the audio file is missing; a user
    // who named one means it.
    file = args.Get("--audio");
    if (args.Has("--audio") && !audio.Open(file, error)) {
        error = "cannot read the audio file (" + error + ")";
        return false;
    }
    return true;
}

// Writes the record with SaveFile. False with a message about the file named in file.
bool Write(CGiboFile& record, long type, const std::string& out, const Args& args,
           const InputFile& body, const InputFile& audio, std::string& file, std::string& error) {
    file = out;
    // SaveFile writes through a link at the record's path; a link planted at a new record's
    // name must not turn the write elsewhere.
    if (os::IsLink(out)) {
        error = "is a symbolic link; name the file it points to";
        return false;
    }
    // Only what stood at OUT when it was checked is replaced.
    const gibo::FileId checked = WhatStandsAt(out);
    error = WhyNotEditable(checked, out);
    if (!error.empty()) {
        return false;
    }
    unsigned long code = 0;
    if (SaveRecord(record, static_cast<unsigned char>(type), out, body.OpenedName(),
                   args.Has("--audio") ? audio.OpenedName() : "", &checked, error, code)) {
        return true;
    }
    file = code == GIBO_ERR_AUDIO_OPEN            ? args.Get("--audio")
           : code != 0 && code != GIBO_ERR_CREATE ? args.Get("--body")
                                                  : out;
    return false;
}

int RunJoin(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one output record");
    }
    CGiboFile record;
    long type = 0;
    std::string file, error;
    if (!TakeItems(tool, args, record, type, error)) {
        return tool.Usage(error);
    }
    InputFile body, audio;
    if (!OpenParts(args, body, audio, file, error) ||
        !Write(record, type, args.operands[0], args, body, audio, file, error)) {
        return tool.Fail(file, error);
    }
    return kExitOk;
}

}  // namespace

Command JoinCommand() {
    return {"join",
            "write a record from a body file, an audio file and header items",
            kHelp,
            {{"--body", true}, {"--audio", true}, {"--type", true}, {"--set", true, true}},
            RunJoin};
}
