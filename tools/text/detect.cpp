// Code-page detection over a record's header values, in three steps: a code page in which some
// value is not valid text is out; a result text from one code page's table of result names
// names that code page; otherwise the most plausible reading wins. GBK, the format's own code
// page, takes what none of them decides.
#include "text/detect.h"

#include <algorithm>
#include <vector>

#include "GiboFile.h"
#include "display/Tables.h"
#include "record/header_items.h"

namespace {

const Codepage kOrder[] = {Codepage::Gbk, Codepage::Cp949, Codepage::Big5, Codepage::ShiftJis};

std::string WithoutBlanks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

bool HasHighBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

Converter& Utf8() {
    static Converter utf8("UTF-8");
    return utf8;
}

// Whether the GAMERESULT value, read as cp, is the result name the library maps it to, taken
// from cp's block of the library's table: the library tells the code of a result text but not
// the code page its table row is in. Codes 0 and 1, the colour words, are found inside a longer
// text, like the library does ("흑 " and "黑 " with their blank).
bool NamesResult(const std::string& value, int code, Codepage cp) {
    static const int kBlocks[] = {gibo::kResultGbk, gibo::kResultKorean, gibo::kResultBig5,
                                  gibo::kResultJapanese};  // in kOrder
    std::string text, name;
    if (!Utf8().DecodeStrict(value, cp, text) ||
        !Utf8().DecodeStrict(gibo::g_szDeakukResult[kBlocks[static_cast<int>(cp)]][code], cp,
                             name)) {
        return false;
    }
    if (code <= 1) {
        return text.find(name) != std::string::npos;
    }
    return WithoutBlanks(text) == WithoutBlanks(name);
}

// The tags and values that are not plain ASCII, and the first GAMERESULT value.
void CollectTexts(const std::vector<HeaderItem>& items, std::vector<std::string>& texts,
                  std::string& result) {
    bool resultSeen = false;
    for (const HeaderItem& item : items) {
        for (const std::string* text : {&item.tag, &item.value}) {
            if (HasHighBytes(*text)) {
                texts.push_back(*text);
            }
        }
        if (!resultSeen && item.tag == "GAMERESULT") {
            result = TrimValue(item.value);
            resultSeen = true;
        }
    }
}

// The code pages in which every text is valid; leastDamaged, for when there is none, the one
// with the fewest invalid bytes.
std::vector<Codepage> ValidCodepages(const std::vector<std::string>& texts,
                                     Codepage& leastDamaged) {
    std::vector<Codepage> valid;
    size_t fewestInvalid = static_cast<size_t>(-1);
    leastDamaged = Codepage::Gbk;
    for (Codepage cp : kOrder) {
        size_t invalid = 0;
        for (const std::string& text : texts) {
            size_t n = 0;
            Utf8().Decode(text, cp, n);
            invalid += n;
        }
        if (invalid == 0) {
            valid.push_back(cp);
        } else if (invalid < fewestInvalid) {
            fewestInvalid = invalid;
            leastDamaged = cp;
        }
    }
    return valid;
}

// The one valid code page whose result name the library maps the result text to; false when
// none or several are.
bool NamedByResult(const std::string& result, const std::vector<Codepage>& valid, Codepage& cp) {
    CGiboFile lookup;
    const int code = lookup.CompareOtherNationResult(CString(result.c_str()));
    std::vector<Codepage> named;
    for (Codepage candidate : valid) {
        if (NamesResult(result, code, candidate)) {
            named.push_back(candidate);
        }
    }
    if (named.size() != 1) {
        return false;
    }
    cp = named[0];
    return true;
}

Detection MostPlausible(const std::vector<std::string>& texts, const std::vector<Codepage>& valid) {
    std::string all;
    for (const std::string& text : texts) {
        all += text;
        all += ' ';  // no character spans two texts
    }
    int best = 0;
    std::vector<Codepage> top;
    for (Codepage cp : valid) {
        const int score = PlausibilityScore(all, cp);
        if (top.empty() || score > best) {
            best = score;
            top.assign(1, cp);
        } else if (score == best) {
            top.push_back(cp);
        }
    }
    // A tie goes to GBK when it is among the best, as kOrder starts with it.
    return {top[0], top.size() == 1 ? "statistics" : "tie"};
}

}  // namespace

Detection DetectCodepage(const std::vector<HeaderItem>& items) {
    std::vector<std::string> texts;
    std::string result;
    CollectTexts(items, texts, result);
    if (texts.empty()) {
        return {Codepage::Gbk, "only ASCII"};
    }
    Codepage leastDamaged = Codepage::Gbk;
    const std::vector<Codepage> valid = ValidCodepages(texts, leastDamaged);
    if (valid.empty()) {
        return {leastDamaged, "invalid bytes"};
    }
    if (valid.size() == 1) {
        return {valid[0], "only valid one"};
    }
    Codepage named = Codepage::Gbk;
    if (HasHighBytes(result) && NamedByResult(result, valid, named)) {
        return {named, "result text"};
    }
    return MostPlausible(texts, valid);
}
