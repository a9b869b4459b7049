// gibo split: the body and audio side files of records.
#include <filesystem>
#include <set>
#include <utility>

#include "cli/command.h"
#include "cli/errors.h"
#include "framework/Paths.h"
#include "os/edit.h"
#include "os/input.h"
#include "os/workdir.h"
#include "record/loading.h"

namespace {

const char kHelp[] =
    "Usage: gibo split [OPTIONS] RECORD... [--out-dir DIR]\n"
    "\n"
    "Writes the body file (.lbk) and, when the record has an audio trailer, the audio file\n"
    "(.lao) of each record, as the library's LoadFile makes them: beside the record, or in DIR\n"
    "with the record's name. Prints the files written. A side file is replaced only once the\n"
    "new one is complete, and never through a link; a side file that would be the record\n"
    "itself, or one already written for another record of the run, is refused.\n"
    "\n"
    "  --out-dir DIR      write the side files into DIR instead\n";

// The side file's name, as LoadFile forms it (the library's stem), moved into outDir if given.
std::string SideFile(const std::string& path, const std::string& outDir, const char* ext) {
    const std::string stem = gibo::RecordStem(path);
    if (outDir.empty()) {
        return stem + ext;
    }
    return outDir + "/" + stem.substr(gibo::DirectoryOf(path).size()) + ext;
}

using FileId = std::pair<uint64_t, uint64_t>;  // device and inode

// Puts the private side file `from` in place at target.
bool Install(const std::string& from, const std::string& target, const InputFile& record,
             std::set<FileId>& written, std::string& error) {
    InputFile src;
    EditedFile out;
    bool ok = src.Open(from, error) && out.Begin(target, nullptr, error);
    if (ok && gibo::SameId(out.Original(), record.Identity())) {
        error = "is the file being read; it is not replaced by a part of itself";
        ok = false;
    }
    if (!ok || !out.CopyFrom(src.Fd(), 0, error) || !out.Commit(error)) {
        error = target + ": " + error;
        return false;
    }
    InputFile done;
    if (done.Open(target, error)) {
        written.insert({done.Identity().nDev, done.Identity().nIno});
    }
    return true;
}

// A target that this run wrote already would lose that record's side file.
bool WrittenBefore(const std::string& target, const std::set<FileId>& written, std::string& error) {
    InputFile there;
    std::string ignored;
    if (there.Open(target, ignored) &&
        written.count({there.Identity().nDev, there.Identity().nIno})) {
        error = target + ": already written for another record of this run";
        return true;
    }
    return false;
}

bool SplitOne(const std::string& path, const std::string& outDir, std::set<FileId>& written,
              std::string& body, std::string& audio, std::string& error) {
    InputFile record;
    if (!OpenRecord(path, record, error)) {
        return false;
    }
    PrivateDir dir;
    LoadedRecord loaded;
    if (!LoadPrivately(record, dir, loaded, error)) {
        return false;
    }
    if (loaded.audioInBody > 0) {
        error = "the audio (SZAUDIO) overlaps the body by " + std::to_string(loaded.audioInBody) +
                " bytes: fewer bytes follow \\GE than it states";
        return false;
    }
    body = SideFile(path, outDir, ".lbk");
    audio = loaded.hasAudio ? SideFile(path, outDir, ".lao") : std::string();
    if (WrittenBefore(body, written, error) ||
        (loaded.hasAudio && WrittenBefore(audio, written, error))) {
        return false;
    }
    return Install(loaded.bodyPath.str(), body, record, written, error) &&
           (!loaded.hasAudio || Install(loaded.audioPath.str(), audio, record, written, error));
}

int RunSplit(Tool& tool, const Args& args) {
    if (args.operands.empty()) {
        return tool.Usage("no record given");
    }
    const std::string outDir = args.Get("--out-dir");
    std::error_code ec;
    if (args.Has("--out-dir") && !std::filesystem::is_directory(outDir, ec)) {
        return tool.Usage(outDir + ": not a directory");
    }
    int status = kExitOk;
    std::set<FileId> written;
    for (const std::string& path : args.operands) {
        std::string body, audio, error;
        if (!SplitOne(path, outDir, written, body, audio, error)) {
            status = tool.FailRecord(path, error);
            continue;
        }
        Value v = tool.Result(path);
        v.Add("body", Value::Str(tool.Path(body)));
        v.Add("audio", audio.empty() ? Value() : Value::Str(tool.Path(audio)));
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
