// Result names in any code page back to their codes, and the lookups that take numbers from a
// host: whatever comes in, the answer is a code 0..8 or a fixed text, never a read past a table.
#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "GiboFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CGiboFile record;
    const int index = in.AnyInt();
    const int dum = in.AnyInt();
    const unsigned char small = static_cast<unsigned char>(index);

    FUZZ_CHECK(std::strlen(record.GetNationName(small)) < 16);
    FUZZ_CHECK(std::strlen(record.GetDeakukKind(small)) < 32);
    FUZZ_CHECK(std::strlen(record.GetDeakukRule(small, dum)) < 64);
    if (const char* row = record.GetDeakukResult(small)) {
        FUZZ_CHECK(std::strlen(row) < 32);
    }
    FUZZ_CHECK(std::strlen(record.GetStrGameResult(index)) < 32);
    FUZZ_CHECK(record.GetLevel(index).GetLength() < 32);
    FUZZ_CHECK(record.GetLevel2(index).GetLength() < 32);
    FUZZ_CHECK(record.ExtGetLvStr(small).GetLength() < 32);

    const std::string text = in.Rest();
    const int code =
        record.CompareOtherNationResult(CString(text.data(), static_cast<int>(text.size())));
    FUZZ_CHECK(code >= 0 && code <= 8);

    // A result name with blanks strewn between its characters still reads as its own code.
    const char* row = record.GetDeakukResult(static_cast<unsigned char>(2 + (index & 0xFF) % 7));
    std::string spaced;
    for (size_t i = 0; row[i]; ++i) {
        const unsigned char c = static_cast<unsigned char>(row[i]);
        if (i < text.size() && (text[i] & 1)) {
            spaced += ' ';
        }
        spaced += row[i];
        if (c >= 0x81 && c <= 0xFE && row[i + 1]) {
            spaced += row[++i];
        }
    }
    const int back = record.CompareOtherNationResult(spaced.c_str());
    FUZZ_CHECK(std::strcmp(record.GetDeakukResult(static_cast<unsigned char>(back)), row) == 0);
    return 0;
}
