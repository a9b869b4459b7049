// How plausible a text is as the writing of one code page's language: the statistical part of
// code-page detection. Short texts (a two-syllable name) are the usual case, too short for
// byte-frequency models, so the score looks at characters: frequent Hanzi, Hangul syllables
// and Kana score high; characters from rarely used blocks, symbols of another script and
// extension areas score low.
#ifndef GIBO_TOOLS_TEXT_PLAUSIBILITY_H
#define GIBO_TOOLS_TEXT_PLAUSIBILITY_H

#include <string>

#include "text/converter.h"

// The score of bytes read as cp; bytes must be valid text in cp. ASCII counts nothing.
int PlausibilityScore(const std::string& bytes, Codepage cp);

#endif  // GIBO_TOOLS_TEXT_PLAUSIBILITY_H
