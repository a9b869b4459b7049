// gibo add-ref: appends a reference block \RS...\RE to a file.
#include <cerrno>
#include <cstdlib>

#include "GiboFile.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "framework/Faults.h"
#include "os/edit.h"
#include "os/input.h"
#include "os/system.h"
#include "record/header_items.h"
#include "record/layout.h"

namespace {

const char kHelp[] =
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
    if (layout.gs >= 0) {
        CGiboFile record;
        unsigned char type = 0;
        int found = 0;
        record.LoadStream(layout.header.c_str(), type);
        audio = std::atoll(record.GetParam("SZAUDIO", found).str().c_str());
    }
    return true;
}

// Creates the file empty when it is missing, so that there is something to lock; a link
// standing there is not followed.
bool CreateIfMissing(const std::string& path, std::string& error) {
    gibo::Fd fd;
    const gibo::Status s = gibo::CreateNew(path.c_str(), 0666, fd);
    if (s != 0 && s != EEXIST) {
        error = "cannot create the file: " + SystemReason(s);
        return false;
    }
    return true;
}

struct Block {
    long susun = 0;
    long num = 0;
    std::string explain;  // in the header's code page
    std::string game;     // byte for byte
};

// The block's numbers and explanation from the options. False with a usage message.
bool ParseBlock(Tool& tool, const Args& args, Block& block, std::string& error) {
    if (!args.Has("--susun") || !ParseNumber(args.Get("--susun"), 0, 65535, block.susun)) {
        error = "--susun N is required, a number from 0 to 65535";
        return false;
    }
    if (args.Has("--num") && !ParseNumber(args.Get("--num"), 0, 65535, block.num)) {
        error = "--num must be a number from 0 to 65535";
        return false;
    }
    if (!tool.Input(args.Get("--explain"), tool.HeaderCodepage(), block.explain, error)) {
        return false;
    }
    if (!FitsBlock(block.explain, error)) {
        error = "the explanation " + error;
        return false;
    }
    return true;
}

// The game text of --game. False with a message about the file from.
bool ReadGame(const std::string& from, std::string& game, std::string& error) {
    InputFile in;
    if (!in.Open(from, error)) {
        error = "cannot open the game file (" + error + ")";
        return false;
    }
    game.resize(static_cast<size_t>(in.Size()));
    size_t got = 0;
    if (!ReadAt(in.Fd(), 0, &game[0], game.size(), got, error)) {
        return false;
    }
    game.resize(got);
    if (!FitsBlock(game, error)) {
        error = "the game text " + error;
        return false;
    }
    return true;
}

// Opens and locks the file the block goes to, created when missing, never through a link: a
// file that holds audio is refused, since the block would end up where readers look for the
// audio, and so is a file that an edit may not touch.
bool OpenTarget(const std::string& path, InputFile& in, std::string& error) {
    const char* const kLink = "is a symbolic link; name the file it points to";
    if (os::IsLink(path)) {
        error = kLink;
        return false;
    }
    gibo::TestHook("checked");
    long long audio = 0;
    if (!CreateIfMissing(path, error)) {
        return false;
    }
    if (!os::LockForEdit(path, in, error, false)) {
        error = os::IsLink(path) ? kLink : error;
        return false;
    }
    error = WhyNotEditable(in.Identity(), path);
    if (!error.empty() || !StatedAudio(in, audio, error)) {
        return false;
    }
    if (audio != 0) {
        error = "the record has an audio trailer; a block appended after it would break the audio";
        return false;
    }
    return true;
}

// The file is rewritten with the block at its end and replaces the old one only when complete,
// so that a failed or parallel add-ref loses no block.
bool Append(const std::string& path, InputFile& in, Block& block, std::string& error) {
    EditedFile out;
    if (!out.Begin(path, &in.Identity(), error) || !out.CopyFrom(in.Fd(), 0, error)) {
        return false;
    }
    CFile file;
    if (!file.Open(out.TempPath().c_str(), CFile::modeWrite | CFile::typeBinary)) {
        error = "cannot reopen the new file " + out.TempPath();
        return false;
    }
    try {
        CGiboFile writer;
        unsigned char* game =
            block.game.empty() ? nullptr : reinterpret_cast<unsigned char*>(&block.game[0]);
        writer.AppendReference(&file, static_cast<unsigned short>(block.susun),
                               block.explain.c_str(), static_cast<unsigned short>(block.num), game,
                               static_cast<int>(block.game.size()));
        file.Close();
    } catch (const CFileException& e) {
        error = "write error: " + SystemReason(static_cast<int>(e.m_lOsError));
        return false;
    }
    if (!os::ReplacesOpenFiles()) {
        in.Close();  // nothing is locked where files are not replaced while open
    }
    return out.Commit(error);
}

int RunAddRef(Tool& tool, const Args& args) {
    if (args.operands.size() != 1) {
        return tool.Usage("give exactly one file");
    }
    Block block;
    std::string error;
    if (!ParseBlock(tool, args, block, error)) {
        return tool.Usage(error);
    }
    if (args.Has("--game") && !ReadGame(args.Get("--game"), block.game, error)) {
        return tool.Fail(args.Get("--game"), error);
    }
    const std::string& path = args.operands[0];
    InputFile in;
    if (!OpenTarget(path, in, error) || !Append(path, in, block, error)) {
        return tool.Fail(path, error);
    }
    return kExitOk;
}

}  // namespace

Command AddRefCommand() {
    return {"add-ref",
            "append a reference block to a file",
            kHelp,
            {{"--susun", true}, {"--num", true}, {"--explain", true}, {"--game", true}},
            RunAddRef};
}
