// Reading facts back from GBK display texts. Digits, "-" and ":" are ASCII and never the trail
// byte of a GBK character, so plain byte scans find the numbers.
#include "index/game_facts.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char kBlack[] = "\xba\xda";              // 黑
const char kWhite[] = "\xb0\xd7";              // 白
const char kDraw[] = "\xba\xcd";               // 和
const char kPoints[] = "\xc4\xbf";             // 目
const char kHalfPoint[] = "\xb0\xeb\xc4\xbf";  // 半目
const char kHalfWin[] = "\xb0\xeb\xca\xa4";    // 半胜
const char kAfternoon[] = "\xcf\xc2\xce\xe7";  // 下午
const char kGive[] = "\xc8\xc3";               // 让
const char kStones[] = "\xd7\xd3";             // 子
const char kNoKomi[] = "\xc8\xc3\xcf\xc8";     // 让先
const char kEven[] = "\xb7\xd6\xcf\xc8";       // 分先
const char kTotal[] = "\xd7\xdc: ";            // "总: "

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<long> Numbers(const std::string& text) {
    std::vector<long> numbers;
    for (size_t i = 0; i < text.size();) {
        const bool sign = text[i] == '-' && i + 1 < text.size() && IsDigit(text[i + 1]);
        if (!IsDigit(text[i]) && !sign) {
            ++i;
            continue;
        }
        char* end = nullptr;
        numbers.push_back(std::strtol(text.c_str() + i, &end, 10));
        i = static_cast<size_t>(end - text.c_str());
    }
    return numbers;
}

std::optional<std::string> WinnerOf(const std::string& result) {
    if (result.compare(0, 2, kBlack) == 0) {
        return std::string("black");
    }
    if (result.compare(0, 2, kWhite) == 0) {
        return std::string("white");
    }
    if (result.compare(0, 2, kDraw) == 0) {
        return std::string("draw");
    }
    return std::nullopt;
}

// "黑  6目 半胜" is 6.5, "黑  6目 胜" 6, "黑  半目 胜" 0.5; a text without 目 has no margin.
std::optional<double> MarginOf(const std::string& result) {
    if (result.find(kHalfPoint) != std::string::npos) {
        return 0.5;
    }
    const size_t points = result.find(kPoints);
    if (points == std::string::npos) {
        return std::nullopt;
    }
    const std::vector<long> n = Numbers(result.substr(0, points));
    if (n.empty()) {
        return std::nullopt;
    }
    const double whole = static_cast<double>(n.back());
    if (result.find(kHalfWin, points) == std::string::npos) {
        return whole;
    }
    return whole < 0 ? whole - 0.5 : whole + 0.5;
}

// "2013年1月7日 下午 2:5": the afternoon marker stands for hours above 12.
std::optional<std::string> IsoDateOf(const std::string& date) {
    std::vector<long> n = Numbers(date);
    if (n.size() != 5) {
        return std::nullopt;
    }
    if (date.find(kAfternoon) != std::string::npos) {
        n[3] += 12;
    }
    if (n[0] < 0 || n[0] > 9999 || n[1] < 1 || n[1] > 12 || n[2] < 1 || n[2] > 31 || n[3] < 0 ||
        n[3] > 23 || n[4] < 0 || n[4] > 59) {
        return std::nullopt;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04ld-%02ld-%02ldT%02ld:%02ld", n[0], n[1], n[2], n[3], n[4]);
    return std::string(buf);
}

std::optional<long> MovesOf(const std::string& totalNum) {
    const size_t at = totalNum.find(kTotal);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const size_t from = at + sizeof kTotal - 1;
    if (from >= totalNum.size() || !IsDigit(totalNum[from])) {
        return std::nullopt;
    }
    return std::strtol(totalNum.c_str() + from, nullptr, 10);
}

std::optional<int> HandicapOf(const std::string& condition) {
    const size_t give = condition.find(kGive);
    if (give != std::string::npos && give + 2 < condition.size() && IsDigit(condition[give + 2])) {
        char* end = nullptr;
        const long n = std::strtol(condition.c_str() + give + 2, &end, 10);
        if (std::string(end).compare(0, 2, kStones) == 0) {
            return static_cast<int>(n);
        }
    }
    if (condition.find(kNoKomi) != std::string::npos) {
        return 1;
    }
    if (condition.find(kEven) != std::string::npos) {
        return 0;
    }
    return std::nullopt;
}

// "name(level)": the shown name is what stands before the level the library put after it.
std::string NameOf(const std::string& user2, const std::string& level2, const CString& fallback) {
    const std::string suffix = "(" + level2 + ")";
    if (user2.size() >= suffix.size() &&
        user2.compare(user2.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return user2.substr(0, user2.size() - suffix.size());
    }
    return fallback.str();
}

}  // namespace

GameFacts ReadGameFacts(CGiboFile& record) {
    GameFacts f;
    f.whiteLevel = record.GetWGeup();
    f.blackLevel = record.GetBGeup();
    f.whiteName = NameOf(record.GetGameWUser2().str(), record.GetLevel2(f.whiteLevel).str(),
                         record.GetWNick());
    f.blackName = NameOf(record.GetGameBUser2().str(), record.GetLevel2(f.blackLevel).str(),
                         record.GetBNick());
    const std::string result = record.GetGameResult().str();
    f.winner = WinnerOf(result);
    f.margin = MarginOf(result);
    f.date = IsoDateOf(record.GetGameDate().str());
    f.moves = MovesOf(record.GetGameTotalNum().str());
    f.handicap = HandicapOf(record.GetGameCondition().str());
    f.komi = record.GetDum();
    f.rule = record.GetRule();
    return f;
}
