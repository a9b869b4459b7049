// Reading one record into its index row.
#include "index/record_row.h"

#include <map>

#include "index/game_facts.h"
#include "record/body.h"
#include "record/gameinfo.h"
#include "record/header_items.h"

namespace {

const char* const kDisplayKeys[] = {"white",     "white_short", "black", "black_short",
                                    "game_type", "date",        "time",  "time_short",
                                    "condition", "result",      "moves", "title"};

// The typed facts a search filters on, of a record whose game information is interpreted.
void AddFacts(CGiboFile& record, Converter& conv, Codepage cp, std::map<std::string, Cell>& c) {
    const GameFacts f = ReadGameFacts(record);
    c["white_name"] = Cell::Text(conv.Decode(f.whiteName, cp));
    c["black_name"] = Cell::Text(conv.Decode(f.blackName, cp));
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
}

}  // namespace

RowMaker::RowMaker(Tool& tool) : m_tool(tool), m_utf8("index", "UTF-8"), m_conv("UTF-8") {
    Args args;
    std::string error;
    args.Parse({"--json"}, {}, error);
    m_utf8.Configure(args, error);
}

std::string RowMaker::Options(const Tool& tool) {
    return std::string("encoding=") +
           (tool.ForcedCodepage() ? CodepageName(tool.HeaderCodepage()) : "auto") +
           " nation=" + std::to_string(tool.Nation());
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
    BodyCounts body;
    c["body_records"] = Cell::Int(CountBody(loaded.bodyPath.str(), body) ? body.records : -1);
    c["audio_bytes"] = Cell::Int(loaded.hasAudio ? FileSize(loaded.audioPath.str()) : 0);
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
        AddFacts(record, m_conv, cp, c);
        gameName = m_conv.Decode(record.GetGameName().str(), cp);
    }
    // Code-letter information carries no game name; the record's GAMENAME item does.
    c["game_name"] = Cell::Text(gameName.empty() ? gameNameItem : gameName);
}
