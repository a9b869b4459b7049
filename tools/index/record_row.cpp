// Reading one record into its index row.
#include "index/record_row.h"

#include <cstdio>
#include <map>

#include "index/record_facts.h"
#include "record/gameinfo.h"
#include "record/header_items.h"
#include "text/display_pieces.h"

namespace {

// The display strings a row keeps; the short forms and the title are made of these.
const std::vector<std::string> kDisplayKeys = {"white", "black",     "game_type", "date",
                                               "time",  "condition", "result",    "moves"};

// "white/points/2.5", "black/resignation/", "unknown": one source's reading of the result.
std::string Stated(const facts::GameResult& r) {
    if (!r.known()) {
        return "unknown";
    }
    char margin[32] = "";
    if (r.margin > 0) {
        std::snprintf(margin, sizeof margin, "%g", r.margin);
    }
    return std::string(facts::WinnerName(r.winner)) + "/" + facts::KindName(r.kind) + "/" + margin;
}

// A short, stable mark of a long text (FNV-1a), stored with every row.
std::string Fingerprint(const std::string& text) {
    unsigned long long h = 14695981039346656037ULL;
    for (unsigned char c : text) {
        h = (h ^ c) * 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", h);
    return hex;
}

// Items whose values other keys hold already; --text searches those keys too.
bool KeyedElsewhere(const std::string& tag) {
    for (const char* t : {"GAMEINFOMAIN", "GAMENAME", "GAMEPLACE", "GAMEWHITENAME", "GAMEBLACKNAME",
                          "GAMEWHITENICK", "GAMEBLACKNICK"}) {
        if (tag == t) {
            return true;
        }
    }
    return false;
}

void Put(std::map<std::string, Cell>& c, const std::string& key, const std::string& text) {
    if (!text.empty()) {
        c[key] = Cell::Text(text);
    }
}

// A count or a code, where one is known.
void PutNumber(std::map<std::string, Cell>& c, const std::string& key, long long n) {
    if (n >= 0) {
        c[key] = Cell::Int(n);
    }
}

void AddSide(const SideFacts& s, const std::string& side, std::map<std::string, Cell>& c) {
    c[side + "_name"] = Cell::Text(s.Shown());
    Put(c, side + "_nick", s.nick.empty() ? s.infoNick : s.nick);
    Put(c, side + "_level", s.level.empty() ? s.infoLevel : s.level);
    Put(c, side + "_country", s.country.empty() ? s.infoCountry : s.country);
    Put(c, side + "_id", s.id);
    Put(c, side + "_info_nick", s.infoNick);
}

void AddDateAndResult(const RecordFacts& f, std::map<std::string, Cell>& c) {
    Put(c, "date_iso", f.Date().iso);
    Put(c, "date_item", f.dateItem.iso);
    Put(c, "date_info", f.dateInfo.iso);
    if (f.dateItem.text != f.dateItem.iso) {  // else written as date_item
        Put(c, "date_text", f.dateItem.text);
    }
    const facts::GameResult& r = f.Result();
    if (r.known()) {
        c["winner"] = Cell::Text(facts::WinnerName(r.winner));
        c["result_kind"] = Cell::Text(facts::KindName(r.kind));
    }
    if (r.margin > 0) {
        c["margin"] = Cell::Real(r.margin);
    }
    Put(c, "result_text", f.resultItem.text);
    Put(c, "result_item", f.resultItem.text.empty() ? "" : Stated(f.resultItem));
    c["result_info"] = Cell::Text(Stated(f.resultInfo));
}

}  // namespace

RowMaker::RowMaker(Tool& tool) : m_tool(tool), m_utf8("index", "UTF-8"), m_conv("UTF-8") {
    Args args;
    std::string error;
    args.Parse({"--json"}, {}, error);
    m_utf8.Configure(args, error);
}

std::string RowMaker::Options() const {
    return std::string("encoding=") +
           (m_tool.ForcedCodepage() ? CodepageName(m_tool.HeaderCodepage()) : "auto") +
           " nation=" + std::to_string(m_tool.Nation()) +
           " fold=" + Fingerprint(m_folder.Signature());
}

bool RowMaker::Make(const std::string& path, IndexRow& row, std::string& error) {
    m_invalid = 0;
    ScannedRecord loaded;
    loaded.record.SetNationCode(m_tool.Nation());
    const bool ok = ReadRecord(path, loaded, error);
    if (ok) {
        Describe(loaded, row);
    } else {
        if (loaded.error != 0) {
            row.columns["error_code"] = Cell::Int(static_cast<long long>(loaded.error));
        }
        row.columns["error"] = Cell::Text(ValidUtf8(error));
    }
    return ok;
}

void RowMaker::Describe(ScannedRecord& loaded, IndexRow& row) {
    CGiboFile& record = loaded.record;
    auto& c = row.columns;
    const std::vector<HeaderItem> items = ListHeaderItems(record.m_strHeader.str());
    const Detection detection = m_tool.ChooseCodepage(items);
    const Codepage cp = detection.cp;
    c["type"] = Cell::Int(loaded.type);
    c["codepage"] = Cell::Text(CodepageName(cp));
    c["codepage_reason"] = Cell::Text(detection.reason);
    const long bodyRecords = static_cast<long>(loaded.sizes.nBodyRecords);
    c["body_records"] = Cell::Int(bodyRecords);
    c["audio_bytes"] = Cell::Int(loaded.sizes.nAudio);
    for (const HeaderItem& item : items) {
        size_t inTag = 0, inValue = 0;
        row.items.emplace_back(m_conv.Decode(item.tag, cp, inTag),
                               m_conv.Decode(TrimValue(item.value), cp, inValue));
        m_invalid += inTag + inValue;
    }
    int found = 0;
    const std::string info = record.GetParam("GAMEINFOMAIN", found).str();
    InfoFields fields;
    const bool hasInfo = !TrimValue(info).empty();
    if (hasInfo) {
        const InfoFormat format = DetectInfoFormat(info);
        c["info_format"] = Cell::Text(InfoFormatName(format));
        InterpretInfo(record, info, format);
        fields = ReadInfoFields(record, format, info);
        Value display = DisplayPieces(record, cp, m_utf8, kDisplayKeys);
        for (const std::string& key : kDisplayKeys) {
            if (const Value* v = display.Find(key)) {
                c[key] = Cell::Text(v->str());
            }
        }
    }
    const Decode inRecord = [&](const std::string& b) { return m_conv.Decode(b, cp); };
    const Decode inGbk = [&](const std::string& b) { return m_conv.Decode(b, Codepage::Gbk); };
    const int resultRow = ResultTableRow(TrimValue(record.GetParam("GAMERESULT", found).str()));
    RecordFacts f = BuildFacts(row.items, hasInfo ? &fields : nullptr, inRecord, inGbk, resultRow);
    f.movesBody = bodyRecords;
    AddFacts(f, row);
}

void RowMaker::AddFacts(const RecordFacts& f, IndexRow& row) {
    auto& c = row.columns;
    AddSide(f.white, "white", c);
    AddSide(f.black, "black", c);
    AddDateAndResult(f, c);
    PutNumber(c, "move_count", f.Moves());
    PutNumber(c, "moves_info", f.movesInfo);
    PutNumber(c, "handicap", f.handicap);
    if (f.hasKomi) {
        c["komi"] = Cell::Int(f.komi);
    }
    Put(c, "game_name", f.event);
    Put(c, "place", f.place);
    c["white_keys"] = Cell::Text(Keys(f.white.Names()));
    c["black_keys"] = Cell::Text(Keys(f.black.Names()));
    c["event_keys"] = Cell::Text(Keys({f.event}));
    c["place_keys"] = Cell::Text(Keys({f.place}));
    std::vector<std::string> values;
    for (const auto& item : row.items) {
        if (!KeyedElsewhere(item.first)) {
            values.push_back(item.second);
        }
    }
    c["text_keys"] = Cell::Text(Keys(values));
}

// The folded keys of texts, blank-separated: folding drops blanks, so a key holds none.
std::string RowMaker::Keys(const std::vector<std::string>& texts) {
    std::string keys;
    for (const std::string& t : texts) {
        const std::string key = m_folder.Fold(t);
        if (!key.empty() && (" " + keys + " ").find(" " + key + " ") == std::string::npos) {
            keys += (keys.empty() ? "" : " ") + key;
        }
    }
    return keys;
}
