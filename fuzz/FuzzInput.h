// Helpers shared by the fuzz targets: carving typed values out of the fuzzer's bytes, and a
// check that stops the run with a message when an invariant breaks (asserts may be compiled
// out, this never is).
#ifndef GIBO_FUZZ_FUZZINPUT_H
#define GIBO_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    size_t Remaining() const { return m_size - m_pos; }

    uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }

    int Int(int lo, int hi) {  // inclusive range
        const uint32_t span = static_cast<uint32_t>(hi - lo) + 1;
        uint32_t v = Byte();
        v = (v << 8) | Byte();
        return lo + static_cast<int>(v % span);
    }

    int AnyInt() {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            v = (v << 8) | Byte();
        }
        return static_cast<int>(v);
    }

    // A run of bytes whose length comes first (one byte), NULs included.
    std::string Bytes() {
        size_t n = Byte();
        if (n > Remaining()) {
            n = Remaining();
        }
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }

    // The same, cut at the first NUL: for arguments passed as zero-terminated texts.
    std::string Text() {
        std::string s = Bytes();
        const size_t nul = s.find('\0');
        return nul == std::string::npos ? s : s.substr(0, nul);
    }

    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), Remaining());
        m_pos = m_size;
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

#endif  // GIBO_FUZZ_FUZZINPUT_H
