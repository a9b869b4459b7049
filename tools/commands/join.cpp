// gibo join: a record from a body file, an audio file and header items.
#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "os/signals.h"
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

int RunJoin(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one output record");
    }
    if (!args.Has("--body")) {
        return tool.Usage("--body FILE is required");
    }
    long type = 0;
    if (!args.Has("--type") || !ParseNumber(args.Get("--type"), 0, 255, type)) {
        return tool.Usage("--type N is required, a number from 0 to 255");
    }
    CGiboFile record;
    for (const std::string& assignment : args.GetAll("--set")) {
        std::string tag, value, error;
        if (!ParseAssignment(tool, assignment, tag, value, error)) {
            return tool.Usage(error);
        }
        if (tag == "TYPE" || tag == "SZAUDIO") {
            return tool.Usage(tag + " is written from " + (tag == "TYPE" ? "--type" : "--audio"));
        }
        record.SetParam(tag.c_str(), value.c_str());
    }
    const std::string out = args.operands[0];
    const std::string body = args.Get("--body");
    const std::string audio = args.Get("--audio");
    InputFile bodyIn, audioIn;
    std::string error;
    long long geLine = -1;
    if (!bodyIn.Open(body, error) || !FindLineWithMarker(bodyIn.Fd(), "GE", geLine, error)) {
        tool.Error(body, "cannot read the body file (" + error + ")");
        return kExitFailed;
    }
    // The loader ends the body at the first \GE; lines after it would be lost.
    if (geLine >= 0) {
        tool.Error(body, "the body holds \\GE (at byte " + std::to_string(geLine) +
                             "), where readers would end the body");
        return kExitFailed;
    }
    // SaveFile quietly writes a record without audio when the audio file is missing; a user
    // who named one means it.
    if (args.Has("--audio") && !audioIn.Open(audio, error)) {
        tool.Error(audio, "cannot read the audio file (" + error + ")");
        return kExitFailed;
    }
    // SaveFile writes through a link at the record's path; a link planted at a new record's
    // name must not turn the write elsewhere.
    if (IsLink(out)) {
        tool.Error(out, "is a symbolic link; name the file it points to");
        return kExitFailed;
    }
    try {
        DeferSignals defer;  // SaveFile removes its own temporary on the way out
        if (!record.SaveFile(static_cast<unsigned char>(type), out.c_str(),
                             bodyIn.OpenedName().c_str(),
                             args.Has("--audio") ? audioIn.OpenedName().c_str() : "")) {
            const unsigned long code = record.GetError();
            const std::string why = code == GIBO_ERR_CREATE ? WhyNotReplaceable(out) : "";
            const std::string file = code == GIBO_ERR_CREATE       ? out
                                     : code == GIBO_ERR_AUDIO_OPEN ? audio
                                                                   : body;
            tool.Error(file, why.empty() ? SaveErrorText(code) : why);
            return kExitFailed;
        }
    } catch (const CFileException& e) {
        tool.Error(out, "write error: " + SystemReason(static_cast<int>(e.m_lOsError)));
        return kExitFailed;
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
