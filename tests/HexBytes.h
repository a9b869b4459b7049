// Byte strings written as hex pairs ("C8 C3 32"), so that expected texts are transcribed
// independently of the escapes in the library's sources.
#ifndef GIBO_TESTS_HEXBYTES_H
#define GIBO_TESTS_HEXBYTES_H

#include <cstdlib>
#include <sstream>
#include <string>

inline std::string Hex(const char* pszPairs) {
    std::istringstream in(pszPairs);
    std::string pair;
    std::string out;
    while (in >> pair) {
        out += static_cast<char>(std::strtoul(pair.c_str(), nullptr, 16));
    }
    return out;
}

#endif  // GIBO_TESTS_HEXBYTES_H
