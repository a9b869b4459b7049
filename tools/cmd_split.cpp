// gibo split: the body and audio side files of records.
#include <filesystem>

#include "commands.h"
#include "errors.h"
#include "workdir.h"

namespace fs = std::filesystem;

namespace {

const char kHelp[] =
    "Usage: gibo split [OPTIONS] RECORD... [--out-dir DIR]\n"
    "\n"
    "Writes the body file (.lbk) and, when the record has an audio trailer, the audio file\n"
    "(.lao) of each record, as the library's LoadFile makes them: beside the record, or in DIR\n"
    "with the record's name. Prints the files written.\n"
    "\n"
    "  --out-dir DIR      write the side files into DIR instead\n";

// Moves a file, also across file systems.
bool MoveFile(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) {
        return true;
    }
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = to + ": " + ec.message();
        return false;
    }
    fs::remove(from, ec);
    return true;
}

bool SplitInto(const std::string& path, const std::string& outDir, LoadedRecord& loaded,
               std::string& body, std::string& audio, std::string& error) {
    PrivateDir dir;
    if (!LoadPrivately(path, dir, loaded, error)) {
        return false;
    }
    const fs::path name = fs::path(path).filename();
    const std::string stem = name.has_extension() ? name.stem().string() : name.string();
    body = (fs::path(outDir) / (stem + ".lbk")).string();
    if (!MoveFile(loaded.bodyPath.str(), body, error)) {
        return false;
    }
    if (loaded.hasAudio) {
        audio = (fs::path(outDir) / (stem + ".lao")).string();
        return MoveFile(loaded.audioPath.str(), audio, error);
    }
    return true;
}

int RunSplit(Tool& tool, const Args& args) {
    if (args.operands.empty()) {
        return tool.Usage("no record given");
    }
    const std::string outDir = args.Get("--out-dir");
    std::error_code ec;
    if (args.Has("--out-dir") && !fs::is_directory(outDir, ec)) {
        return tool.Usage(outDir + ": not a directory");
    }
    int status = kExitOk;
    for (const std::string& path : args.operands) {
        LoadedRecord loaded;
        std::string body, audio, error;
        bool ok = false;
        if (args.Has("--out-dir")) {
            ok = SplitInto(path, outDir, loaded, body, audio, error);
        } else {
            try {
                ok = loaded.record.LoadFile(path.c_str(), loaded.bodyPath, loaded.audioPath,
                                            loaded.type, loaded.hasAudio) != 0;
                if (!ok) {
                    error = LoadErrorText(loaded.record.GetError());
                }
            } catch (const CFileException& e) {
                error = std::string("read error: ") + e.what();
            }
            body = loaded.bodyPath.str();
            audio = loaded.hasAudio ? loaded.audioPath.str() : std::string();
        }
        Value v = Value::Map();
        v.Add("file", Value::Str(tool.Path(path)));
        if (!ok) {
            tool.Error(path, error);
            status = kExitFailed;
            if (!tool.Json()) {
                continue;
            }
            v.Add("error", Value::Str(error));
        } else {
            v.Add("body", Value::Str(tool.Path(body)));
            v.Add("audio", audio.empty() ? Value() : Value::Str(tool.Path(audio)));
        }
        tool.Emit(v);
    }
    return status;
}

}  // namespace

Command SplitCommand() {
    return {"split",
            "write the body (.lbk) and audio (.lao) side files of records",
            kHelp,
            {{"--out-dir", true}},
            RunSplit};
}
