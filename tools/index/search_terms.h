// Names and game names are searched by any part of two or more characters. FTS5's own
// tokenizers cannot do that for two-character CJK names (trigram needs three characters,
// unicode61 takes a run of CJK characters as one word), so the index stores every pair of
// adjacent characters as one token, and a search for n characters is the phrase of its n-1
// pairs. Tokens are the pair's UTF-8 bytes in hexadecimal, so that no tokenizer splits or
// folds them; ASCII letters are lower-cased first, so that searches ignore their case.
#ifndef GIBO_TOOLS_INDEX_SEARCH_TERMS_H
#define GIBO_TOOLS_INDEX_SEARCH_TERMS_H

#include <string>

// Space-separated tokens of text (UTF-8), or of blank-separated keys: no pair spans two keys;
// empty for a text of fewer than two characters.
std::string PairTokens(const std::string& text);

// The FTS5 phrase for a search text of two or more characters ("\"6b69 696d\""), or an empty
// string for a shorter one, which the caller looks up with LIKE instead.
std::string PairPhrase(const std::string& text);

#endif  // GIBO_TOOLS_INDEX_SEARCH_TERMS_H
