// gibo join: a record from a body file, an audio file and header items.
#include <filesystem>

#include "GiboFile.h"
#include "commands.h"
#include "errors.h"

namespace fs = std::filesystem;

namespace {

const char kHelp[] =
    "Usage: gibo join [OPTIONS] OUT --body FILE [--audio FILE] --type N [--set TAG=VALUE]...\n"
    "\n"
    "Writes the record OUT with the library's SaveFile: the header items given with --set\n"
    "(values in the header's code page, see --encoding), the body file and the audio file.\n"
    "TYPE and SZAUDIO are written by SaveFile from --type and the audio file's size. OUT is\n"
    "replaced atomically: on failure a file already there stays as it was.\n"
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
    const std::string audio = args.Get("--audio");
    std::error_code ec;
    // SaveFile quietly writes a record without audio when the audio file is missing; a user
    // who named one means it.
    if (args.Has("--audio") && !fs::is_regular_file(audio, ec)) {
        tool.Error(audio, "no such audio file");
        return kExitFailed;
    }
    try {
        if (!record.SaveFile(static_cast<unsigned char>(type), out.c_str(),
                             args.Get("--body").c_str(), audio.c_str())) {
            const unsigned long code = record.GetError();
            const std::string file = code == GIBO_ERR_CREATE       ? out
                                     : code == GIBO_ERR_AUDIO_OPEN ? audio
                                                                   : args.Get("--body");
            tool.Error(file, SaveErrorText(code));
            return kExitFailed;
        }
    } catch (const CFileException& e) {
        tool.Error(out, std::string("write error: ") + e.what());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

Command JoinCommand() {
    return {"join",
            "write a record from a body file, an audio file and header items",
            kHelp,
            {{"--body", true}, {"--audio", true}, {"--type", true}, {"--set", true}},
            RunJoin};
}
