// Reading one record into its index row.
#include "index/record_row.h"

#include <cstdio>

#include "index/game_facts.h"
#include "record/gameinfo.h"
#include "record/header_items.h"

namespace {

const char* const kDisplayKeys[] = {"white",     "white_short", "black", "black_short",
                                    "game_type", "date",        "time",  "time_short",
                                    "condition", "result",      "moves", "title"};

// STO records of the body file, and the size of a file; -1 when it cannot be read.
long long CountStoLines(const std::string& path) {
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        return -1;
    }
    long long count = 0;
    bool lineStart = true;
    int matched = 0;  // bytes of "STO" matched at the start of the current line
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c == '\n') {
                lineStart = true;
                matched = 0;
                continue;
            }
            if (lineStart && c == "STO"[matched]) {
                if (++matched == 3) {
                    ++count;
                    lineStart = false;
                }
                continue;
            }
            lineStart = false;
        }
    }
    std::fclose(fp);
    return count;
}

long long SizeOf(const std::string& path) {
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        return -1;
    }
    std::fseek(fp, 0, SEEK_END);
    const long long size = std::ftell(fp);
    std::fclose(fp);
    return size;
}

}  // namespace

RowMaker::RowMaker(Tool& tool) : m_tool(tool), m_utf8("index", "UTF-8"), m_conv("UTF-8") {
    Args args;
    std::string error;
    args.Parse({"--json"}, {}, error);
    m_utf8.Configure(args, error);
}

bool RowMaker::Make(const std::string& path, const PrivateDir& dir, IndexRow& row,
                    std::string& error) {
    LoadedRecord loaded;
    loaded.record.SetNationCode(m_tool.Nation());
    const bool ok = LoadPrivately(path, dir, loaded, error);
    if (ok) {
        Describe(loaded, row);
    } else {
        if (loaded.record.GetError() != 0) {
            row.columns["error_code"] = Cell::Int(static_cast<long long>(loaded.record.GetError()));
        }
        row.columns["error"] = Cell::Text(ValidUtf8(error));
    }
    dir.Clear();
    return ok;
}

void RowMaker::Describe(LoadedRecord& loaded, IndexRow& row) {
    CGiboFile& record = loaded.record;
    auto& c = row.columns;
    const std::string header = record.m_strHeader.str();
    const Detection detection = m_tool.ChooseCodepage(header);
    const Codepage cp = detection.cp;
    c["type"] = Cell::Int(loaded.type);
    c["codepage"] = Cell::Text(CodepageName(cp));
    c["codepage_reason"] = Cell::Text(detection.reason);
    c["body_records"] = Cell::Int(CountStoLines(loaded.bodyPath.str()));
    c["audio_bytes"] = Cell::Int(loaded.hasAudio ? SizeOf(loaded.audioPath.str()) : 0);
    std::string gameNameItem;
    for (const HeaderItem& item : ListHeaderItems(header)) {
        row.items.emplace_back(m_conv.Decode(item.tag, cp),
                               m_conv.Decode(TrimValue(item.value), cp));
        if (item.tag == "GAMENAME" && gameNameItem.empty()) {
            gameNameItem = row.items.back().second;
        }
    }
    int found = 0;
    const std::string info = record.GetParam("GAMEINFOMAIN", found).str();
    std::string gameName;
    if (!TrimValue(info).empty()) {
        const InfoFormat format = DetectInfoFormat(info);
        c["info_format"] = Cell::Text(InfoFormatName(format));
        InterpretInfo(record, info, format);
        Value display = DisplayStrings(record, m_utf8);
        for (const char* key : kDisplayKeys) {
            if (const Value* v = display.Find(key)) {
                c[key] = Cell::Text(v->str());
            }
        }
        const GameFacts f = ReadGameFacts(record);
        c["white_name"] = Cell::Text(m_conv.Decode(f.whiteName, cp));
        c["black_name"] = Cell::Text(m_conv.Decode(f.blackName, cp));
        c["white_level"] = Cell::Int(f.whiteLevel);
        c["black_level"] = Cell::Int(f.blackLevel);
        if (f.winner) {
            c["winner"] = Cell::Text(*f.winner);
        }
        if (f.margin) {
            c["margin"] = Cell::Real(*f.margin);
        }
        if (f.date) {
            c["date_iso"] = Cell::Text(*f.date);
        }
        if (f.moves) {
            c["move_count"] = Cell::Int(*f.moves);
        }
        if (f.handicap) {
            c["handicap"] = Cell::Int(*f.handicap);
        }
        c["komi"] = Cell::Int(f.komi);
        c["rule"] = Cell::Int(f.rule);
        gameName = m_conv.Decode(record.GetGameName().str(), cp);
    }
    // Code-letter information carries no game name; the record's GAMENAME item does.
    c["game_name"] = Cell::Text(gameName.empty() ? gameNameItem : gameName);
}
