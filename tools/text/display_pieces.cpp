// Display texts composed around placeholders, converted piece by piece.
#include "text/display_pieces.h"

#include <algorithm>

#include <vector>

#include "GBHLoad.h"

namespace {

// The texts of a record that come from its writer, in its code page. The compact header keeps
// its own copies, which its display texts are composed from.
std::vector<CString*> WriterTexts(CGiboFile& r) {
    CGBHLoad& h = *r.GetGBHLoad();
    return {&r.m_strWId,      &r.m_strWNick,     &r.m_strBId,      &r.m_strBNick,
            &h.m_strWId,      &h.m_strWNick,     &h.m_strBId,      &h.m_strBNick,
            &h.m_strGameName, &h.m_strGamePlace, &r.m_strGameName, &r.m_strGamePlace};
}

// A placeholder no text of the record holds: the separator byte is a control character, which
// no name has; when one does, the texts are converted whole, as before.
std::string Placeholder(size_t i) {
    return "\x1f" + std::to_string(i) + "\x1f";
}

// text with each placeholder replaced by its name; the names hold no separator byte.
std::string FillIn(std::string text, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string mark = Placeholder(i);
        for (size_t at = 0; (at = text.find(mark, at)) != std::string::npos;
             at += names[i].size()) {
            text.replace(at, mark.size(), names[i]);
        }
    }
    return text;
}

Value Compose(CGiboFile& r, Tool& tool, const std::vector<std::string>& names,
              const std::vector<std::string>& keys) {
    int found = 0;
    CString gameName = r.GetGameName();
    if (gameName.IsEmpty()) {
        gameName = r.GetParam("GAMENAME", found);
    }
    const std::pair<const char*, CString> texts[] = {
        {"white", r.GetGameWUser()},      {"white_short", r.GetGameWUser2()},
        {"black", r.GetGameBUser()},      {"black_short", r.GetGameBUser2()},
        {"game_type", r.GetGameType()},   {"game_name", gameName},
        {"date", r.GetGameDate()},        {"time", r.GetGameTime()},
        {"time_short", r.GetGameTime2()}, {"condition", r.GetGameCondition()},
        {"result", r.GetGameResult()},    {"moves", r.GetGameTotalNum()},
        {"title", r.GetShowGiboTitle()}};
    Value v = Value::Map();
    for (const auto& t : texts) {
        if (keys.empty() || std::find(keys.begin(), keys.end(), t.first) != keys.end()) {
            v.Add(t.first, Value::Str(FillIn(tool.Display(t.second.str()), names)));
        }
    }
    return v;
}

}  // namespace

Value DisplayPieces(const CGiboFile& record, Codepage cp, Tool& tool,
                    const std::vector<std::string>& keys) {
    CGiboFile shadow(record);
    std::vector<CString*> texts = WriterTexts(shadow);
    std::vector<std::string> names;
    const bool marked = std::any_of(texts.begin(), texts.end(), [](const CString* text) {
        return text->str().find('\x1f') != std::string::npos;
    });
    int found = 0;
    const std::string gameName = shadow.GetParam("GAMENAME", found).str();
    if (marked || tool.Raw() || gameName.find('\x1f') != std::string::npos) {
        return Compose(shadow, tool, names, keys);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        names.push_back(tool.Header(texts[i]->str(), cp));
        if (!texts[i]->IsEmpty()) {  // an empty one stays empty: it may mean "none"
            *texts[i] = Placeholder(i).c_str();
        }
    }
    // The game name item too, which code-letter information shows for want of its own.
    if (found) {
        shadow.ReplaceParam("GAMENAME", Placeholder(texts.size()).c_str());
        names.push_back(tool.Header(gameName, cp));
    }
    // Invalid bytes of the names were counted and warned about with the header items.
    tool.TakeInvalid();
    if (shadow.m_bNewFormat) {
        shadow.MakeData();
    } else {
        shadow.MakeWUserName();
        shadow.MakeBUserName();
        shadow.MakeShowGiboTitle();
    }
    return Compose(shadow, tool, names, keys);
}
