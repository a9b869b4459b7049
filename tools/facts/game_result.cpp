// Matching a result text against the vocabulary of result_words.cpp.
#include "game_result.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "result_words.h"
#include "text_cursor.h"
#include "utf8_text.h"

namespace facts {

namespace {

struct Reading {
    int colour = -1;  // 0 black, 1 white
    double margin = 0;
};

// A whole number ("3", "三") with, in ASCII digits, up to max_places decimals ("3.5", "1.75").
bool TakeDecimal(Cursor& c, int max_places, double& value) {
    int whole = 0;
    if (!c.TakeNumber(1, 3, whole) && !c.TakeSmallNumber(whole)) {
        return false;
    }
    value = whole;
    const size_t before_point = c.Pos();
    int fraction = 0;
    if (c.Take(U'.')) {
        const size_t first_digit = c.Pos();
        if (!c.TakeNumber(1, max_places, fraction)) {
            c.Reset(before_point);
            return true;
        }
        value += fraction / std::pow(10.0, static_cast<double>(c.Pos() - first_digit));
    }
    return true;
}

// Points: 3目半, 3.5目, 半目, 三目半, 3집반, 3.5집, 반집.
bool TakePoints(Cursor& c, double& points) {
    if (c.TakeAny(U"半目|반집") >= 0) {
        points = 0.5;
        return true;
    }
    const int unit = TakeDecimal(c, 1, points) ? c.TakeAny(U"目|집") : -1;
    if (unit < 0) {
        return false;
    }
    if (c.Take(unit == 0 ? U'半' : U'반')) {
        if (points != std::floor(points)) {
            return false;  // 3.5目半
        }
        points += 0.5;
    }
    return true;
}

// A half or a quarter of a stone: 1/2, 1/4, 3/4, 二分之一, 四分之一, 四分之三.
bool TakeStoneFraction(Cursor& c, double& stones) {
    const size_t start = c.Pos();
    int numerator = 0;
    int denominator = 0;
    bool ok = c.TakeNumber(1, 1, numerator) && c.Take(U'/') && c.TakeNumber(1, 1, denominator);
    if (!ok) {
        c.Reset(start);
        ok = c.TakeSmallNumber(denominator) && c.TakeAny(U"分之") >= 0 &&
             c.TakeSmallNumber(numerator);
    }
    if (!ok || (denominator != 2 && denominator != 4) || numerator <= 0 ||
        numerator >= denominator) {
        c.Reset(start);
        return false;
    }
    stones = static_cast<double>(numerator) / denominator;
    return true;
}

// Stones of Chinese counting, as points: 2子, 半子, 1/4子, 3又3/4子, 四分之一子, 1.75子.
bool TakeStones(Cursor& c, double& points) {
    double stones = 0;
    if (c.Take(U'半')) {
        stones = 0.5;
    } else if (!TakeStoneFraction(c, stones)) {
        if (!TakeDecimal(c, 2, stones)) {
            return false;
        }
        double fraction = 0;
        if (c.Take(U'又') && !TakeStoneFraction(c, fraction)) {
            return false;
        }
        stones += fraction;
    }
    points = stones * 2;
    return c.Take(U'子');
}

bool MatchAt(std::u32string_view pattern, size_t at, Cursor& c, Reading& r);

// A colour word of the set a placeholder names, then the rest of the pattern.
bool MatchColour(std::u32string_view pattern, size_t at, Cursor& c, Reading& r) {
    static const char32_t* const kWords[][2] = {
        {U"黑棋|黑方|黑番|黑|흑", U"白棋|白方|白番|白|백"},  // {C}
        {U"黑|흑", U"白|백"},                                // {K}
        {U"black|b", U"white|w"},                            // {E}
    };
    const int set = pattern[at + 1] == U'C' ? 0 : pattern[at + 1] == U'K' ? 1 : 2;
    const size_t start = c.Pos();
    for (int colour = 0; colour < 2; ++colour) {
        c.Reset(start);
        if (c.TakeAny(kWords[set][colour]) >= 0) {
            r.colour = colour;
            if (MatchAt(pattern, at + 3, c, r)) {
                return true;
            }
        }
    }
    return false;
}

// A margin of the unit a placeholder names, then the rest of the pattern. Every rule counts in
// whole and half points, so any other margin, and a margin of zero, is a misreading.
bool MatchMargin(std::u32string_view pattern, size_t at, Cursor& c, Reading& r) {
    const char32_t unit = pattern[at + 1];
    bool ok = unit == U'P'   ? TakePoints(c, r.margin)
              : unit == U'S' ? TakeStones(c, r.margin)
                             : TakeDecimal(c, 1, r.margin);
    ok = ok && r.margin > 0 && r.margin * 2 == std::floor(r.margin * 2);
    return ok && MatchAt(pattern, at + 3, c, r);
}

bool MatchAt(std::u32string_view pattern, size_t at, Cursor& c, Reading& r) {
    if (at >= pattern.size()) {
        return c.AtEnd();
    }
    const char32_t p = pattern[at];
    if (p == U'{') {
        const char32_t name = pattern[at + 1];
        return name == U'C' || name == U'K' || name == U'E' ? MatchColour(pattern, at, c, r)
                                                            : MatchMargin(pattern, at, c, r);
    }
    if (p == U'[') {
        const size_t close = pattern.find(U']', at);
        const std::u32string optional(pattern.substr(at + 1, close - at - 1));
        const size_t start = c.Pos();
        if (c.TakeAny(optional.c_str()) >= 0 && MatchAt(pattern, close + 1, c, r)) {
            return true;
        }
        c.Reset(start);
        return MatchAt(pattern, close + 1, c, r);
    }
    return c.Take(p) && MatchAt(pattern, at + 1, c, r);
}

}  // namespace

GameResult ParseGameResult(const std::string& text) {
    GameResult out;
    out.text = text;
    std::u32string folded = MatchingText(text, false, FoldResultChar);
    if (folded.empty()) {
        return out;  // most records have no result item; no pattern matches nothing
    }
    Cursor c(std::move(folded));
    for (size_t i = 0; i < kResultPatternCount; ++i) {
        const ResultPattern& p = kResultPatterns[i];
        Reading r;
        c.Reset(0);
        if (!MatchAt(p.pattern, 0, c, r)) {
            continue;
        }
        const Winner named = r.colour == 0 ? Winner::kBlack : Winner::kWhite;
        const Winner other = r.colour == 0 ? Winner::kWhite : Winner::kBlack;
        out.winner = p.side == Side::kNamed   ? named
                     : p.side == Side::kOther ? other
                                              : Winner::kDraw;
        out.kind = p.kind;
        out.margin = r.margin;
        return out;
    }
    return out;
}

GameResult ResultFromCode(int code, int margin_tenths) {
    // The rows of the library's result table: score, draw, resignation, time-out, on time.
    static const struct {
        Winner winner;
        WinKind kind;
    } kRows[] = {
        {Winner::kBlack, WinKind::kPoints},      {Winner::kWhite, WinKind::kPoints},
        {Winner::kDraw, WinKind::kDraw},         {Winner::kBlack, WinKind::kResignation},
        {Winner::kWhite, WinKind::kResignation}, {Winner::kBlack, WinKind::kTime},
        {Winner::kWhite, WinKind::kTime},        {Winner::kBlack, WinKind::kTime},
        {Winner::kWhite, WinKind::kTime},
    };
    GameResult out;
    if (code < 0 || code > 8) {
        return out;
    }
    out.winner = kRows[code].winner;
    out.kind = kRows[code].kind;
    if (out.kind == WinKind::kPoints) {
        out.margin = std::max(0, margin_tenths) / 10.0;
    }
    return out;
}

const char* WinnerName(Winner winner) {
    static const char* const kNames[] = {"unknown", "black", "white", "draw"};
    return kNames[static_cast<int>(winner)];
}

const char* KindName(WinKind kind) {
    static const char* const kNames[] = {"unknown", "points",  "resignation",
                                         "time",    "forfeit", "draw"};
    return kNames[static_cast<int>(kind)];
}

}  // namespace facts
