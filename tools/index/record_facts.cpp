// Facts of a record from its header items and the typed fields of its game information.
#include "index/record_facts.h"

#include <algorithm>
#include <cstdlib>

#include "GBHLoad.h"
#include "display/Tables.h"

namespace {

// The value of the first item of the game information that begins with key ("W" for code
// letters, "GRLT:" for the compact form), up to the first empty item as the library reads.
bool InfoItem(const std::string& text, const std::string& key, std::string& value) {
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        comma = comma == std::string::npos ? text.size() : comma;
        if (comma == start) {
            return false;
        }
        if (text.compare(start, key.size(), key) == 0) {
            value = text.substr(start + key.size(), comma - start - key.size());
            return true;
        }
        start = comma + 1;
    }
    return false;
}

// The date's numbers, "2021:3:8:13:30" or "2022-11-15-13-30-0"; missing ones stay as given.
bool DateNumbers(const std::string& value, char separator, int (&date)[5]) {
    size_t start = 0;
    for (int i = 0; i < 5 && start <= value.size(); ++i) {
        size_t end = value.find(separator, start);
        end = end == std::string::npos ? value.size() : end;
        const std::string part = value.substr(start, end - start);
        char* stop = nullptr;
        const long n = std::strtol(part.c_str(), &stop, 10);
        if (part.empty() || *stop != '\0') {
            return i >= 3;  // the time may be left out, never a part of the day
        }
        date[i] = static_cast<int>(n);
        start = end + 1;
    }
    return true;
}

std::string WithoutBlanks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

bool AllDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

void ReadCompact(CGiboFile& record, const std::string& text, InfoFields& f) {
    const CGBHLoad& h = *record.GetGBHLoad();
    f.white = {h.m_strWId.str(), h.m_strWNick.str(), record.GetLevel2(h.m_byWGeup).str(),
               record.GetNationName(h.m_byWCode)};
    f.black = {h.m_strBId.str(), h.m_strBNick.str(), record.GetLevel2(h.m_byBGeup).str(),
               record.GetNationName(h.m_byBCode)};
    f.name = h.m_strGameName.str();
    f.place = h.m_strGamePlace.str();
    std::string value;
    if (InfoItem(text, "GRLT:", value)) {
        f.resultCode = h.m_byGameResult;
        f.marginTenths = h.m_nZipsu;
    }
    f.hasDate = InfoItem(text, "GDATE:", value) && DateNumbers(value, '-', f.date);
    if (InfoItem(text, "TCNT:", value)) {
        f.moves = h.m_nTotalNum;
    }
    if (InfoItem(text, "GCDT:", value)) {
        f.condition = h.m_byGameCondition;
    }
    f.komi = h.m_nDum;
}

void ReadLetters(CGiboFile& record, const std::string& text, InfoFields& f) {
    f.white = {record.m_strWId.str(), record.m_strWNick.str(),
               record.GetLevel2(record.m_byWGeup).str(),
               record.GetNationName(static_cast<unsigned char>(record.m_nWCode))};
    f.black = {record.m_strBId.str(), record.m_strBNick.str(),
               record.GetLevel2(record.m_byBGeup).str(),
               record.GetNationName(static_cast<unsigned char>(record.m_nBCode))};
    f.name = record.m_strGameName.str();
    f.place = record.m_strGamePlace.str();
    std::string value;
    if (InfoItem(text, "W", value)) {
        f.resultCode = record.m_nGameResult;
        f.marginTenths = record.m_nZipsu * 10 + record.m_nZipsuFrac;
    }
    f.hasDate = InfoItem(text, "C", value) && DateNumbers(value, ':', f.date);
    // The library keeps the count of the GAMETOTALNUM item, whatever stood around it.
    const std::string total = record.GetTotalNum().str();
    if (AllDigits(total)) {
        f.moves = std::strtol(total.c_str(), nullptr, 10);
    }
    if (InfoItem(text, "R", value)) {
        f.condition = record.m_nGameCondition;
    }
    f.komi = record.m_nDum;
}

std::string ItemOf(const std::vector<std::pair<std::string, std::string>>& items, const char* tag) {
    for (const auto& item : items) {
        if (item.first == tag && !item.second.empty()) {
            return item.second;
        }
    }
    return std::string();
}

SideFacts SideOf(const std::vector<std::pair<std::string, std::string>>& items, const char* side,
                 const InfoFields::Side* info, const Decode& record, const Decode& gbk) {
    const std::string prefix = std::string("GAME") + side;
    SideFacts s;
    s.name = ItemOf(items, (prefix + "NAME").c_str());
    s.nick = ItemOf(items, (prefix + "NICK").c_str());
    s.level = ItemOf(items, (prefix + "LEVEL").c_str());
    s.country = ItemOf(items, (prefix + "COUNTRY").c_str());
    if (info) {
        s.id = record(info->id);
        s.infoNick = record(info->nick);
        s.infoLevel = gbk(info->level);
        s.infoCountry = gbk(info->country);
    }
    return s;
}

}  // namespace

InfoFields ReadInfoFields(CGiboFile& record, InfoFormat format, const std::string& text) {
    InfoFields f;
    if (format == InfoFormat::Compact) {
        ReadCompact(record, text, f);
    } else {
        ReadLetters(record, text, f);
    }
    return f;
}

std::string SideFacts::Shown() const {
    return !name.empty() ? name : !infoNick.empty() ? infoNick : id;
}

std::vector<std::string> SideFacts::Names() const {
    std::vector<std::string> names;
    for (const std::string* n : {&name, &infoNick, &id, &nick}) {
        if (!n->empty()) {
            names.push_back(*n);
        }
    }
    return names;
}

int ResultTableRow(const std::string& bytes) {
    const std::string key = WithoutBlanks(bytes);
    for (int k = 2; k < gibo::kResultCount; ++k) {
        for (int block = 0; block < gibo::kResultBlockCount; ++block) {
            if (!key.empty() && WithoutBlanks(gibo::g_szDeakukResult[block][k]) == key) {
                return k;
            }
        }
    }
    return -1;
}

RecordFacts BuildFacts(const std::vector<std::pair<std::string, std::string>>& items,
                       const InfoFields* info, const Decode& record, const Decode& gbk,
                       int resultRow) {
    RecordFacts f;
    f.white = SideOf(items, "WHITE", info ? &info->white : nullptr, record, gbk);
    f.black = SideOf(items, "BLACK", info ? &info->black : nullptr, record, gbk);
    f.dateItem = facts::ParseGameDate(ItemOf(items, "GAMEDATE"));
    const std::string result = ItemOf(items, "GAMERESULT");
    f.resultItem = facts::ParseGameResult(result);
    if (resultRow >= 0) {
        f.resultItem = facts::ResultFromCode(resultRow, 0);
        f.resultItem.text = result;
    }
    f.event = ItemOf(items, "GAMENAME");
    f.place = ItemOf(items, "GAMEPLACE");
    if (!info) {
        return f;
    }
    if (info->hasDate) {
        const int* d = info->date;
        f.dateInfo = facts::DateFromNumbers(d[0], d[1], d[2], d[3], d[4]);
    }
    if (info->resultCode >= 0) {
        f.resultInfo = facts::ResultFromCode(info->resultCode, info->marginTenths);
    }
    f.movesInfo = info->moves;
    f.handicap = info->condition;
    f.komi = info->komi;
    f.hasKomi = true;
    f.event = f.event.empty() ? record(info->name) : f.event;
    f.place = f.place.empty() ? record(info->place) : f.place;
    return f;
}
