// Which code page a record's header values are written in. Records reach users from Chinese,
// Korean, Taiwanese and Japanese sources mixed in one folder, and the container does not say.
#ifndef GIBO_TOOLS_TEXT_DETECT_H
#define GIBO_TOOLS_TEXT_DETECT_H

#include <string>
#include <vector>

#include "record/header_items.h"
#include "text/converter.h"

// The code page of a record's header values, and why it was chosen.
struct Detection {
    Codepage cp;
    std::string reason;  // "option", "result text", "statistics", "only ASCII", "tie" ... short,
                         // lower case, English
};

// Of the items ListHeaderItems finds in a record's parameter text.
Detection DetectCodepage(const std::vector<HeaderItem>& items);

// How plausible bytes (valid text in cp) are as the writing of cp's language; ASCII counts
// nothing. Short texts (a two-syllable name) are the usual case, too short for byte-frequency
// models, so the score looks at characters: frequent Hanzi, Hangul syllables and Kana score
// high; characters from rarely used blocks, symbols of another script and extension areas low.
int PlausibilityScore(const std::string& bytes, Codepage cp);

#endif  // GIBO_TOOLS_TEXT_DETECT_H
