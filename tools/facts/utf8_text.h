// UTF-8 helpers shared by the collector's text kit: code points, the narrow twins of full-width
// forms, blanks, and the columns a terminal gives a character.
#ifndef GIBO_TOOLS_FACTS_UTF8_TEXT_H
#define GIBO_TOOLS_FACTS_UTF8_TEXT_H

#include <string>

namespace facts {

// The code points of a UTF-8 text. A byte that does not begin a well-formed sequence (stray
// continuation, overlong form, surrogate, beyond U+10FFFF) becomes U+FFFD, so that damaged text
// is never read as a character it does not hold.
std::u32string DecodeUtf8(const std::string& text);
void AppendUtf8(std::string& out, char32_t cp);
std::string EncodeUtf8(const std::u32string& text);

// Full-width ASCII (U+FF01..U+FF5E) as ASCII, the ideographic space as a space; other code
// points unchanged. Collections written in Japanese and Chinese use both forms for digits.
char32_t NarrowForm(char32_t cp);

// Spaces of any script: ASCII blanks, no-break space, the ideographic space and the Unicode
// space separators.
bool IsBlank(char32_t cp);

// The text as the parsers match it: full-width forms narrowed, ASCII lower-cased, any other
// character through fold (when given); blanks dropped, or with blanks each run of them one
// space, none at the ends.
std::u32string MatchingText(const std::string& text, bool blanks,
                            char32_t (*fold)(char32_t) = nullptr);

// Whether a character set's name (nl_langinfo(CODESET) on POSIX, an iconv name) is UTF-8's.
bool CodesetIsUtf8(const std::string& codeset);

// C0 and C1 control characters and DEL, which a terminal takes as commands.
bool IsControl(char32_t cp);

// Columns a terminal gives the code point: 0 for controls and combining marks, 2 for East Asian
// wide and full-width forms, 1 otherwise.
int CharWidth(char32_t cp);
int DisplayWidth(const std::string& text);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_UTF8_TEXT_H
