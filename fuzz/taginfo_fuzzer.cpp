// Game-information texts in both vocabularies: the code-letter items that the record object
// interprets and the compact header's TAG:value items, each followed by the display texts. Also
// the scanning primitives on their own, with buffers of exactly the documented sizes on the heap
// so that the address sanitizer sees any byte written or read past them.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "GiboFile.h"

namespace {

// Reads a whole text item by item as a host does, checking that every stop lies in the text.
void Interpret(CGiboFile& record, const std::string& text) {
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    char* const begin = buf.data();
    char* const end = begin + std::strlen(begin);
    char* cursor = begin;
    for (int round = 0; round < 64 && cursor < end; ++round) {
        char* next = record.ParsingTagData(cursor);
        FUZZ_CHECK(next != nullptr);
        FUZZ_CHECK(next >= cursor && next <= end);
        if (next == cursor) {
            break;
        }
        cursor = next;
    }
}

size_t Touch(const CString& s) {
    return std::strlen(s) + static_cast<size_t>(s.GetLength());
}

size_t ReadAllGetters(CGiboFile& r) {
    size_t n = 0;
    for (const CString& s :
         {r.GetShowGiboTitle(),  r.GetGameType(),   r.GetGameName(),   r.GetGameDate(),
          r.GetGameCondition(),  r.GetGameResult(), r.GetGameTime(),   r.GetGameTime2(),
          r.GetGameTotalNum(),   r.GetTotalNum(),   r.GetGameWUser(),  r.GetGameWUser2(),
          r.GetGameBUser(),      r.GetGameBUser2(), r.GetWNick(),      r.GetBNick(),
          r.GetGameCondition2(), r.GetGameWImage(), r.GetGameBImage(), r.GetGameCommentator(),
          r.GetGamePlace()}) {
        n += Touch(s);
    }
    return n + r.GetWGeup() + r.GetBGeup() + r.GetRule() + static_cast<size_t>(r.GetDum()) +
           r.GetGiboKind() + r.GetGameWAvataID() + r.GetGameBAvataID();
}

void Scanning(CGiboFile& record, const std::string& text) {
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    char* const end = buf.data() + std::strlen(buf.data());
    for (int sep = 0; sep < 3; ++sep) {
        char* cursor = buf.data();
        for (int k = 0; k < 8 && cursor < end; ++k) {
            auto field = std::make_unique<char[]>(1024);
            std::memset(field.get(), 0, 1024);
            record.readTag(&cursor, field.get(), sep);
            FUZZ_CHECK(cursor <= end && field[1023] == '\0');
            (void)record.readTagNum(&cursor, sep);
            FUZZ_CHECK(cursor <= end);
        }
    }
    auto value = std::make_unique<char[]>(256);
    std::memset(value.get(), 0, 256);
    char code = 0;
    (void)record.GetTagData(buf.data(), code, value.get());
    FUZZ_CHECK(value[255] == '\0');
    std::memset(value.get(), 0, 256);
    unsigned char index = 0;
    if (record.GetNewTagData(buf.data(), index, value.get()) == 1) {
        FUZZ_CHECK(index < GIBO_SHORTTAG_COUNT);
    }
    FUZZ_CHECK(value[255] == '\0');
    auto spaceless = std::make_unique<char[]>(256);
    record.RemoveSpace(spaceless.get(), buf.data());
    FUZZ_CHECK(std::strlen(spaceless.get()) < 256 && !std::strchr(spaceless.get(), ' '));
    record.RemoveSpace(buf.data(), buf.data());  // in place, as documented
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int nation = in.Int(0, 7);
    const std::string text = in.Rest();

    CGiboFile old;
    old.SetNationCode(nation);
    Interpret(old, text);
    old.MakeData();
    size_t sink = ReadAllGetters(old);

    CGiboFile compact;
    compact.SetNationCode(nation);
    compact.SetNewFormat(1);
    Interpret(compact, text);
    compact.MakeData();
    sink += ReadAllGetters(compact);

    // The copy must hold its own compact header with the same texts.
    CGiboFile copy(compact);
    FUZZ_CHECK(copy.GetGBHLoad() != compact.GetGBHLoad());
    FUZZ_CHECK(copy.GetShowGiboTitle() == compact.GetShowGiboTitle());
    old = compact;
    FUZZ_CHECK(old.GetGameWUser() == compact.GetGameWUser());

    Scanning(old, text);
    return static_cast<int>(sink & 0);
}
