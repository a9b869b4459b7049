// Counting a body file.
#include "record/body.h"

#include <cstdio>
#include <fstream>
#include <vector>

bool CountBody(const std::string& path, BodyCounts& counts) {
    counts = BodyCounts();
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        return false;
    }
    // Counted in pieces: a body line may be of any length. Unbuffered, into one piece for the
    // whole run: a batch counts thousands of small bodies.
    std::setvbuf(in, nullptr, _IONBF, 0);
    static std::vector<char> piece(64 * 1024);
    size_t column = 0;  // of the next byte in its line; only the first three matter
    bool sto = true;
    size_t got = 0;
    do {  // a short count is the end of the file (or an error): no read to learn it again
        got = std::fread(piece.data(), 1, piece.size(), in);
        for (size_t i = 0; i < got; ++i) {
            const char c = piece[i];
            if (c == '\n') {
                ++counts.lines;
                column = 0;
                sto = true;
                continue;
            }
            if (column < 3) {
                sto = sto && c == "STO"[column];
                counts.records += sto && column == 2;
            }
            ++column;
        }
    } while (got == piece.size());
    std::fclose(in);
    counts.lines += column > 0;  // a last line without line end
    return true;
}

long long FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long long>(in.tellg()) : -1;
}
