// gibo parse: a game-information text on its own.
#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "record/gameinfo.h"
#include "text/display_pieces.h"

namespace {

const char kHelp[] =
    "Usage: gibo parse [OPTIONS] TEXT [--compact | --letters] [--set TAG=VALUE]...\n"
    "\n"
    "Interprets a game-information text and prints the display strings. The text is read as\n"
    "a compact header when all its items are known short TAG:value items, else as code\n"
    "letters (S1,R0,D65,...); --compact and --letters decide instead. Header items given\n"
    "with --set are there for the interpretation to read (GAMERESULT, GAMETOTALNUM).\n"
    "\n"
    "  --compact          read TEXT as a compact header\n"
    "  --letters          read TEXT as code letters\n"
    "  --set TAG=VALUE    a header item (may be repeated)\n";

int RunParse(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one text");
    }
    if (args.Has("--compact") && args.Has("--letters")) {
        return tool.Usage("--compact and --letters exclude each other");
    }
    std::string text, error;
    if (!tool.Input(args.operands[0], Codepage::Gbk, text, error)) {
        return tool.Usage(error);
    }
    CGiboFile record;
    record.SetNationCode(tool.Nation());
    for (const std::string& assignment : args.GetAll("--set")) {
        std::string tag, value;
        if (!ParseAssignment(tool, assignment, tag, value, error)) {
            return tool.Usage(error);
        }
        record.SetParam(tag.c_str(), value.c_str());
    }
    InfoFormat format = DetectInfoFormat(text);
    if (args.Has("--compact")) {
        format = InfoFormat::Compact;
    } else if (args.Has("--letters")) {
        format = InfoFormat::Letters;
    }
    InterpretInfo(record, text, format);
    Value v = Value::Map();
    v.Add("format", Value::Str(InfoFormatName(format)));
    // The text is GBK by design: every piece is converted from GBK.
    v.Add("display", DisplayPieces(record, Codepage::Gbk, tool));
    tool.Emit(v);
    return kExitOk;
}

}  // namespace

Command ParseCommand() {
    return {"parse",
            "interpret a game-information text and print the display strings",
            kHelp,
            {{"--compact", false}, {"--letters", false}, {"--set", true, true}},
            RunParse};
}
