// gibo refs: lists the reference blocks \RS...\RE of files.
#include <cerrno>
#include <cstdlib>

#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "record/header_items.h"

namespace {

const char kHelp[] =
    "Usage: gibo refs [OPTIONS] FILE...\n"
    "\n"
    "Lists the reference blocks of each file: susun number, reference number, explanation and\n"
    "the size of the game text (the text itself with --json).\n";

// Lists the blocks of file; a read error reaches the caller as CFileException.
void ListBlocks(Tool& tool, CStdioFile& file, Value& blocks) {
    CGiboFile reader;  // GetReference replaces its parameter text with each block's
    for (;;) {
        int found = 0, gameLen = 0;
        unsigned short susun = 0, num = 0;
        CString explain;
        unsigned char* game = reader.GetReference(&file, found, susun, explain, num, gameLen);
        const std::string gameText =
            game ? std::string(reinterpret_cast<char*>(game), static_cast<size_t>(gameLen))
                 : std::string();
        std::free(game);
        if (!found) {
            return;
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
}

int RunRefs(Tool& tool, const Args& args) {
    if (args.operands.empty()) {
        return tool.Usage("no file given");
    }
    int status = kExitOk;
    for (const std::string& path : args.operands) {
        InputFile in;
        CStdioFile file;
        std::string why;
        if (!in.Open(path, why) ||
            !file.Open(in.OpenedName().c_str(), CFile::modeRead | CFile::typeText)) {
            status = tool.Fail(path, "cannot open the file for reading (" +
                                         (why.empty() ? SystemReason(errno) : why) + ")");
            continue;
        }
        Value v = tool.Result(path);
        try {
            ListBlocks(tool, file, v.Add("references", Value::List()));
        } catch (const CFileException& e) {
            status = tool.Fail(path, "read error: " + SystemReason(static_cast<int>(e.m_lOsError)));
            continue;
        }
        tool.Emit(v);
    }
    return status;
}

}  // namespace

Command RefsCommand() {
    return {"refs", "list the reference blocks of files", kHelp, {}, RunRefs};
}
