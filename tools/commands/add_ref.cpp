// gibo refs and gibo add-ref: reference blocks \RS...\RE.
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <cerrno>
#include <cstdlib>

#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "os/replace.h"
#include "record/header_items.h"
#include "record/layout.h"

namespace {

const char kRefsHelp[] =
    "Usage: gibo refs [OPTIONS] FILE...\n"
    "\n"
    "Lists the reference blocks of each file: susun number, reference number, explanation and\n"
    "the size of the game text (the text itself with --json).\n";

const char kAddRefHelp[] =
    "Usage: gibo add-ref [OPTIONS] FILE --susun N [--num N] [--explain TEXT] [--game FILE]\n"
    "\n"
    "Appends one reference block at the end of FILE (created when missing). FILE is rewritten\n"
    "with the block under a lock and replaces the old one only when complete. A record with an\n"
    "audio trailer is refused (the block would end up where readers look for the audio), and\n"
    "so are a symbolic link at FILE and texts holding \\[, \\] or \\RE.\n"
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
        InputFile in;
        CStdioFile file;
        std::string why;
        if (!in.Open(path, why) ||
            !file.Open(in.OpenedName().c_str(), CFile::modeRead | CFile::typeText)) {
            tool.Error(path, "cannot open the file for reading (" +
                                 (why.empty() ? SystemReason(errno) : why) + ")");
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
            tool.Error(path, "read error: " + SystemReason(static_cast<int>(e.m_lOsError)));
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
    } else if (FindGbk(text, "\\[") != std::string::npos) {
        why = "holds an item opener \\[, which readers would take for an item";
    } else if (FindGbk(text, "\\RE") != std::string::npos) {
        why = "holds the block end \\RE";
    } else {
        return true;
    }
    return false;
}

// The audio size the record's header states, read as the loader reads it; 0 for a file that is
// no record (no header, or no body after it).
bool StatedAudio(const InputFile& in, long long& audio, std::string& error) {
    audio = 0;
    RecordLayout layout;
    if (!ScanLayout(in.Fd(), layout, error)) {
        return false;
    }
    if (layout.gs < 0) {
        return true;
    }
    std::string header(static_cast<size_t>(layout.he - layout.hs - 3), '\0');
    size_t got = 0;
    if (!ReadAt(in.Fd(), layout.hs + 3, &header[0], header.size(), got, error)) {
        return false;
    }
    CGiboFile record;
    unsigned char type = 0;
    int found = 0;
    record.LoadStream(header.c_str(), type);
    audio = std::atoll(record.GetParam("SZAUDIO", found).str().c_str());
    return true;
}

// Creates the file empty when it is missing, so that there is something to lock; a link
// standing there is not followed.
bool CreateIfMissing(const std::string& path, std::string& error) {
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
    if (fd >= 0) {
        CloseFd(fd);
        return true;
    }
    if (errno != EEXIST) {
        error = "cannot create the file: " + SystemReason(errno);
        return false;
    }
    return true;
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
        const std::string& from = args.Get("--game");
        InputFile in;
        if (!in.Open(from, error)) {
            tool.Error(from, "cannot open the game file (" + error + ")");
            return kExitFailed;
        }
        game.resize(static_cast<size_t>(in.Size()));
        size_t got = 0;
        if (!ReadAt(in.Fd(), 0, &game[0], game.size(), got, error)) {
            tool.Error(from, error);
            return kExitFailed;
        }
        game.resize(got);
        if (!FitsBlock(game, error)) {
            tool.Error(from, "the game text " + error);
            return kExitFailed;
        }
    }
    const std::string& path = args.operands[0];
    if (IsLink(path)) {
        tool.Error(path, "is a symbolic link; name the file it points to");
        return kExitFailed;
    }
    // The file is rewritten with the block at its end and replaces the old one only when
    // complete, under a lock, so that a failed or parallel add-ref loses no block.
    InputFile in;
    long long audio = 0;
    if (!CreateIfMissing(path, error) || !LockForEdit(path, in, error) ||
        !StatedAudio(in, audio, error)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    if (audio != 0) {
        tool.Error(path,
                   "the record has an audio trailer; a block appended after it would "
                   "break the audio");
        return kExitFailed;
    }
    FileReplacement out;
    if (!out.Begin(path, nullptr, error) || !out.CopyFrom(in.Fd(), 0, error)) {
        tool.Error(path, error);
        return kExitFailed;
    }
    CFile file;
    if (!file.Open(out.TempPath().c_str(), CFile::modeWrite | CFile::typeBinary)) {
        tool.Error(path, "cannot reopen the new file " + out.TempPath());
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
        tool.Error(path, "write error: " + SystemReason(static_cast<int>(e.m_lOsError)));
        return kExitFailed;
    }
#ifdef _WIN32
    in.Close();  // Windows replaces no file that is open; nothing is locked there anyway
#endif
    if (!out.Commit(error)) {
        tool.Error(path, error);
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
