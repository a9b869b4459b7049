// The one reading of a number in a text, for every item and field that holds one.
#ifndef GIBO_READING_NUMBER_H
#define GIBO_READING_NUMBER_H

#include <climits>

namespace gibo {

// The standard text-to-integer conversion as the C locale reads it (white space skipped, a
// sign, digits up to the first other character, 0 without digits; a null text reads as the
// empty one), but saturating instead of overflowing on absurd digit runs. Callers keep the low
// bits of their field. Written out because strtoll's locale lookups cost more than the rest of
// interpreting a short item.
inline long long NumberOf(const char* pszText) {
    if (!pszText) {
        return 0;
    }
    const char* p = pszText;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    // Counted as a magnitude up to the largest one the sign allows.
    const unsigned long long limit =
        negative ? 0ULL - static_cast<unsigned long long>(LLONG_MIN) : LLONG_MAX;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? static_cast<long long>(0ULL - value) : static_cast<long long>(value);
}

}  // namespace gibo

#endif  // GIBO_READING_NUMBER_H
