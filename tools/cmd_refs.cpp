// gibo refs and gibo add-ref: reference blocks \RS...\RE.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "GiboFile.h"
#include "commands.h"
#include "errors.h"
#include "header_items.h"
#include "workdir.h"

namespace {

const char kRefsHelp[] =
    "Usage: gibo refs [OPTIONS] FILE...\n"
    "\n"
    "Lists the reference blocks of each file: susun number, reference number, explanation and\n"
    "the size of the game text (the text itself with --json).\n";

const char kAddRefHelp[] =
    "Usage: gibo add-ref [OPTIONS] FILE --susun N [--num N] [--explain TEXT] [--game FILE]\n"
    "\n"
    "Appends one reference block at the end of FILE (created when missing). A record with an\n"
    "audio trailer is refused: the block would end up where readers look for the audio.\n"
    "\n"
    "  --susun N          the susun number, 0 to 65535\n"
    "  --num N            the reference number, 0 to 65535 (0 is not written)\n"
    "  --explain TEXT     the explanation, in the header's code page (see --encoding)\n"
    "  --game FILE        the game text, taken byte for byte from FILE\n";

int RunRefs(Tool& tool, const Args& args) {
    if (args.operands.empty()) {
        return tool.Usage("no file given");
    }
    int status = kExitOk;
    for (const std::string& path : args.operands) {
        CStdioFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeText)) {
            tool.Error(path, "cannot open the file for reading");
            status = kExitFailed;
            continue;
        }
        Value v = Value::Map();
        v.Add("file", Value::Str(tool.Path(path)));
        Value& blocks = v.Add("references", Value::List());
        CGiboFile reader;  // GetReference replaces its parameter text with each block's
        try {
            for (;;) {
                int found = 0, gameLen = 0;
                unsigned short susun = 0, num = 0;
                CString explain;
                unsigned char* game =
                    reader.GetReference(&file, found, susun, explain, num, gameLen);
                const std::string gameText =
                    game ? std::string(reinterpret_cast<char*>(game), static_cast<size_t>(gameLen))
                         : std::string();
                std::free(game);
                if (!found) {
                    break;
                }
                const Codepage cp = tool.ChooseCodepage(reader.m_strHeader.str()).cp;
                Value& block = blocks.Push(Value::Map());
                block.Add("susun", Value::Num(susun));
                block.Add("number", Value::Num(num));
                block.Add("explanation", Value::Str(tool.Header(TrimValue(explain.str()), cp)));
                block.Add("game_bytes", Value::Num(static_cast<long long>(gameText.size())));
                if (tool.Json()) {
                    block.Add("game", Value::Str(tool.Header(gameText, cp)));
                }
            }
        } catch (const CFileException& e) {
            tool.Error(path, std::string("read error: ") + e.what());
            status = kExitFailed;
            continue;
        }
        tool.Emit(v);
    }
    return status;
}

// The reader takes a value up to the first closer and a block up to the first \RE line, so
// texts holding either would come back cut.
bool FitsBlock(const std::string& text, std::string& why) {
    if (text.find('\0') != std::string::npos) {
        why = "holds a NUL byte";
    } else if (FindGbk(text, "\\]") != std::string::npos) {
        why = "holds the closer \\]";
    } else if (FindGbk(text, "\\RE") != std::string::npos) {
        why = "holds the block end \\RE";
    } else {
        return true;
    }
    return false;
}

int RunAddRef(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one file");
    }
    long susun = 0, num = 0;
    if (!args.Has("--susun") || !ParseNumber(args.Get("--susun"), 0, 65535, susun)) {
        return tool.Usage("--susun N is required, a number from 0 to 65535");
    }
    if (args.Has("--num") && !ParseNumber(args.Get("--num"), 0, 65535, num)) {
        return tool.Usage("--num must be a number from 0 to 65535");
    }
    std::string explain, error;
    if (!tool.Input(args.Get("--explain"), tool.HeaderCodepage(), explain, error)) {
        return tool.Usage(error);
    }
    if (!FitsBlock(explain, error)) {
        return tool.Usage("the explanation " + error);
    }
    std::string game;
    if (args.Has("--game")) {
        std::ifstream in(args.Get("--game"), std::ios::binary);
        if (!in) {
            tool.Error(args.Get("--game"), "cannot open the game file");
            return kExitFailed;
        }
        game.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!FitsBlock(game, error)) {
            tool.Error(args.Get("--game"), "the game text " + error);
            return kExitFailed;
        }
    }
    const std::string& path = args.operands[0];
    {
        PrivateDir dir;
        LoadedRecord loaded;
        if (LoadPrivately(path, dir, loaded, error) && loaded.hasAudio) {
            tool.Error(path,
                       "the record has an audio trailer; a block appended after it would "
                       "break the audio");
            return kExitFailed;
        }
    }
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate |
                                     CFile::typeBinary)) {
        tool.Error(path, "cannot open the file for writing");
        return kExitFailed;
    }
    try {
        CGiboFile writer;
        writer.AppendReference(&file, static_cast<unsigned short>(susun), explain.c_str(),
                               static_cast<unsigned short>(num),
                               game.empty() ? nullptr : reinterpret_cast<unsigned char*>(&game[0]),
                               static_cast<int>(game.size()));
        file.Close();
    } catch (const CFileException& e) {
        tool.Error(path, std::string("write error: ") + e.what());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

Command RefsCommand() {
    return {"refs", "list the reference blocks of files", kRefsHelp, {}, RunRefs};
}

Command AddRefCommand() {
    return {"add-ref",
            "append a reference block to a file",
            kAddRefHelp,
            {{"--susun", true}, {"--num", true}, {"--explain", true}, {"--game", true}},
            RunAddRef};
}
