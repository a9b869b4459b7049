// The one reading of a number in a text, for every item and field that holds one.
#ifndef GIBO_READING_NUMBER_H
#define GIBO_READING_NUMBER_H

#include <cstdlib>

namespace gibo {

// The standard text-to-integer conversion (white space skipped, a sign, digits up to the first
// other character, 0 without digits; a null text reads as the empty one), but saturating
// instead of overflowing on absurd digit runs. Callers keep the low bits of their field.
inline long long NumberOf(const char* pszText) {
    return pszText ? std::strtoll(pszText, nullptr, 10) : 0;
}

}  // namespace gibo

#endif  // GIBO_READING_NUMBER_H
