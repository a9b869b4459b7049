// gibo show: everything a host would show of a record.
#include <cstdio>
#include <fstream>
#include <vector>

#include "cli/batch.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/workdir.h"
#include "record/gameinfo.h"
#include "record/header_items.h"

namespace {

const char kHelp[] =
    "Usage: gibo show [OPTIONS] RECORD... [-r DIR]...\n"
    "\n"
    "Shows each record: its type, every header item, the body's line and STO-record counts,\n"
    "the audio size, and the display strings a host shows (players with levels in both forms,\n"
    "game type, date, time control in both forms, condition, result, move count, title).\n"
    "The record is loaded through a private temporary directory: nothing is written beside\n"
    "it. A record that cannot be loaded is reported and the others are still shown.\n"
    "\n"
    "The game information comes from a header item, read as a compact header when all its\n"
    "items are known short TAG:value items, and as code letters otherwise.\n"
    "\n"
    "  -r DIR             also every *.gib file below DIR (may be repeated)\n"
    "  --info-item TAG    take the game information from item TAG (default GAMEINFOMAIN)\n"
    "  --info TEXT        take the game information from TEXT instead\n";

struct BodyCounts {
    long long lines = 0;
    long long records = 0;
};

// Counted in pieces: a body line may be of any length. Unbuffered, into one piece for the
// whole run: a batch counts thousands of small bodies.
BodyCounts CountBody(const std::string& path) {
    BodyCounts counts;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        return counts;
    }
    std::setvbuf(in, nullptr, _IONBF, 0);
    static std::vector<char> piece(64 * 1024);
    size_t column = 0;  // of the next byte in its line; only the first three matter
    bool sto = true;
    size_t got = 0;
    do {  // a short count is the end of the file (or an error): no read to learn it again
        got = std::fread(piece.data(), 1, piece.size(), in);
        for (size_t i = 0; i < got; ++i) {
            const char c = piece[i];
            if (c == '\n') {
                ++counts.lines;
                column = 0;
                sto = true;
                continue;
            }
            if (column < 3) {
                sto = sto && c == "STO"[column];
                counts.records += sto && column == 2;
            }
            ++column;
        }
    } while (got == piece.size());
    std::fclose(in);
    counts.lines += column > 0;  // a last line without line end
    return counts;
}

long long FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long long>(in.tellg()) : 0;
}

Value ShowOne(Tool& tool, const std::string& path, LoadedRecord& loaded, const Args& args,
              const std::string& infoText) {
    CGiboFile& record = loaded.record;
    Value v = Value::Map();
    v.Add("file", Value::Str(tool.Path(path)));
    v.Add("type", Value::Num(loaded.type));
    const Detection detection = tool.ChooseCodepage(record.m_strHeader.str());
    if (tool.Json()) {
        v.Add("encoding", Value::Str(CodepageName(detection.cp)));
        v.Add("encoding_reason", Value::Str(detection.reason));
    } else {
        v.Add("encoding",
              Value::Str(std::string(CodepageName(detection.cp)) + " (" + detection.reason + ")"));
    }
    Value& header = v.Add("header", Value::List());
    tool.TakeInvalid();
    for (const HeaderItem& item : ListHeaderItems(record.m_strHeader.str())) {
        header.Push(Value::NamedItem(tool.Header(item.tag, detection.cp),
                                     tool.Header(TrimValue(item.value), detection.cp)));
    }
    tool.WarnInvalid(path, detection.cp);
    const BodyCounts body = CountBody(loaded.bodyPath.str());
    v.Add("body_lines", Value::Num(body.lines));
    v.Add("body_records", Value::Num(body.records));
    v.Add("audio_bytes", Value::Num(loaded.hasAudio ? FileSize(loaded.audioPath.str()) : 0));
    if (loaded.audioInBody > 0) {
        // The loader takes the last SZAUDIO bytes whatever they are; part of them is body text.
        v.Add("audio_overlaps_body", Value::Num(loaded.audioInBody));
    }

    std::string text = infoText;
    std::string source = "--info";
    if (!args.Has("--info")) {
        source = args.Has("--info-item") ? args.Get("--info-item") : "GAMEINFOMAIN";
        int found = 0;
        text = record.GetParam(source.c_str(), found).str();
    }
    Value& info = v.Add("info", Value::Map());
    info.Add("source", Value::Str(tool.Path(source)));
    if (TrimValue(text).empty()) {
        info.Add("format", Value());
        return v;
    }
    const InfoFormat format = DetectInfoFormat(text);
    info.Add("format", Value::Str(InfoFormatName(format)));
    InterpretInfo(record, text, format);
    v.Add("display", DisplayStrings(record, tool));
    return v;
}

int RunShow(Tool& tool, const Args& args) {
    std::vector<std::string> records;
    std::vector<Unreadable> unreadable;
    std::string error;
    if (!CollectRecords(args.operands, args.GetAll("-r"), records, unreadable, error)) {
        return tool.Usage(error);
    }
    std::string infoText;
    if (args.Has("--info") && !tool.Input(args.Get("--info"), Codepage::Gbk, infoText, error)) {
        return tool.Usage(error);
    }
    int status = kExitOk;
    auto fail = [&](const std::string& path, const std::string& why) {
        tool.Error(path, why);
        if (tool.Json()) {
            Value v = Value::Map();
            v.Add("file", Value::Str(tool.Path(path)));
            v.Add("error", Value::Str(tool.Path(why)));
            tool.Emit(v);
        }
        status = kExitFailed;
    };
    for (const Unreadable& u : unreadable) {
        fail(u.path, u.reason);
    }
    PrivateDir dir;  // one for the whole batch
    Progress progress(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string& path = records[i];
        progress.Show(i, path);
        try {
            LoadedRecord loaded;
            loaded.record.SetNationCode(tool.Nation());
            if (!LoadPrivately(path, dir, loaded, error)) {
                progress.Clear();
                fail(path, error);
                continue;
            }
            Value v = ShowOne(tool, path, loaded, args, infoText);
            progress.Clear();
            tool.Emit(v);
        } catch (const std::exception& e) {
            progress.Clear();
            fail(path, std::string("unexpected failure: ") + e.what());
        }
    }
    return status;
}

}  // namespace

Command ShowCommand() {
    return {"show",
            "show records: header items, body and audio sizes, display strings",
            kHelp,
            {{"-r", true, true}, {"--info-item", true}, {"--info", true}},
            RunShow};
}
