// gibo show: everything a host would show of a record.
#include <vector>

#include "cli/batch.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "record/gameinfo.h"
#include "record/header_items.h"
#include "record/loading.h"
#include "text/display_pieces.h"

namespace {

const char kHelp[] =
    "Usage: gibo show [OPTIONS] RECORD... [-r DIR]...\n"
    "\n"
    "Shows each record: its type, every header item, the body's line and STO-record counts,\n"
    "the audio size, and the display strings a host shows (players with levels in both forms,\n"
    "game type, date, time control in both forms, condition, result, move count, title).\n"
    "The record is read in one pass: nothing is written beside it or elsewhere, and its audio\n"
    "is not copied. A record that cannot be read is reported and the others are still shown.\n"
    "\n"
    "The game information comes from a header item, read as a compact header when all its\n"
    "items are known short TAG:value items, and as code letters otherwise.\n"
    "\n"
    "  -r DIR             also every *.gib file below DIR (may be repeated)\n"
    "  --info-item TAG    take the game information from item TAG (default GAMEINFOMAIN)\n"
    "  --info TEXT        take the game information from TEXT instead\n";

// The code page of the header values and the items in it.
void AddHeader(Tool& tool, const std::string& path, const CGiboFile& record, Value& v) {
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
    tool.WarnInvalid(path, tool.TakeInvalid(), CodepageName(detection.cp), "shown");
}

void AddSizes(const gibo::RecordSizes& sizes, Value& v) {
    v.Add("body_lines", Value::Num(sizes.nBodyLines));
    v.Add("body_records", Value::Num(sizes.nBodyRecords));
    v.Add("audio_bytes", Value::Num(sizes.nAudio));
    if (sizes.nAudioInBody > 0) {
        // The loader takes the last SZAUDIO bytes whatever they are; part of them is body text.
        v.Add("audio_overlaps_body", Value::Num(sizes.nAudioInBody));
    }
}

// The game information as the host interprets it: from --info, or from a header item.
void AddInfo(Tool& tool, const Args& args, const std::string& infoText, CGiboFile& record,
             Value& v) {
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
        return;
    }
    const InfoFormat format = DetectInfoFormat(text);
    info.Add("format", Value::Str(InfoFormatName(format)));
    InterpretInfo(record, text, format);
    v.Add("display", DisplayPieces(record, tool.ChooseCodepage(record.m_strHeader.str()).cp, tool));
}

int ShowRecord(Tool& tool, const Args& args, const std::string& infoText, const std::string& path,
               Progress& progress) {
    std::string error;
    try {
        ScannedRecord loaded;
        loaded.record.SetNationCode(tool.Nation());
        if (!ReadRecord(path, loaded, error)) {
            progress.Clear();
            return tool.FailRecord(path, error);
        }
        Value v = tool.Result(path);
        v.Add("type", Value::Num(loaded.type));
        AddHeader(tool, path, loaded.record, v);
        AddSizes(loaded.sizes, v);
        AddInfo(tool, args, infoText, loaded.record, v);
        progress.Clear();
        tool.Emit(v);
    } catch (const std::exception& e) {
        progress.Clear();
        return tool.FailRecord(path, std::string("unexpected failure: ") + e.what());
    }
    return kExitOk;
}

int RunShow(Tool& tool, const Args& args) {
    std::vector<std::string> records;
    std::vector<Unreadable> unreadable;
    std::string infoText, error;
    if (!CollectRecords(args.operands, args.GetAll("-r"), records, unreadable, error)) {
        return tool.Usage(error);
    }
    if (args.Has("--info") && !tool.Input(args.Get("--info"), Codepage::Gbk, infoText, error)) {
        return tool.Usage(error);
    }
    int status = kExitOk;
    for (const Unreadable& u : unreadable) {
        status = tool.FailRecord(u.path, u.reason);
    }
    Progress progress(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        progress.Show(i, records[i]);
        if (ShowRecord(tool, args, infoText, records[i], progress) != kExitOk) {
            status = kExitFailed;
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
