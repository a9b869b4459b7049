// The scanning primitives: readTag, readTagNum, GetTagData, RemoveSpace, with their bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

// A zero-filled output buffer of the callers' size, followed by a guard that must stay intact.
template <size_t N>
struct Guarded {
    char buf[N + 64];
    Guarded() {
        std::fill(buf, buf + N, '\0');
        std::fill(buf + N, buf + N + 64, '#');
    }
    bool GuardIntact() const {
        return std::all_of(buf + N, buf + N + 64, [](char c) { return c == '#'; });
    }
    std::string Text() const { return std::string(buf, strnlen(buf, N)); }
};

using Strings = std::vector<std::string>;

// Reads every field of text with readTag; the cursor must always stay inside the text.
Strings Fields(std::string text, int nSep) {
    CGiboFile f;
    Strings out;
    char* cursor = &text[0];
    char* const end = cursor + text.size();
    while (*cursor != '\0') {
        Guarded<1024> field;
        f.readTag(&cursor, field.buf, nSep);
        EXPECT_TRUE(field.GuardIntact());
        EXPECT_LE(cursor, end);
        out.push_back(field.Text());
    }
    EXPECT_EQ(cursor, end);  // on the terminating zero, never past it
    return out;
}

TEST(ReadTag, CutsFieldsAtTheSeparator) {
    EXPECT_EQ(Fields("S1,R2", 0), (Strings{"S1", "R2"}));
    EXPECT_EQ(Fields("a,,b,", 0), (Strings{"a", "", "b"}));
    EXPECT_EQ(Fields("600-30-3", 1), (Strings{"600", "30", "3"}));
    EXPECT_EQ(Fields("GNAME:a:b", 2), (Strings{"GNAME", "a", "b"}));
    EXPECT_EQ(Fields("a-b,c", 0), (Strings{"a-b", "c"}));
    // GBK bytes pass through; the separators are below 0x40 and never a trail byte.
    EXPECT_EQ(Fields("\x81\x5C,\xBA\xDA", 0), (Strings{"\x81\x5C", "\xBA\xDA"}));  // 乗,黑
    // An over-long field keeps 1023 bytes and is consumed whole.
    for (size_t len : {1023u, 1024u, 4000u}) {
        EXPECT_EQ(Fields(std::string(len, 'a') + ",next", 0),
                  (Strings{std::string(1023, 'a'), "next"}));
    }
    // A cut ends on a whole character: 600 times 黑 keep 511 of them, not 511 and a half.
    EXPECT_EQ(Fields(Repeat("\xBA\xDA", 600) + ",next", 0),
              (Strings{Repeat("\xBA\xDA", 511), "next"}));
}

TEST(ReadTag, NothingToReadWritesNothing) {
    CGiboFile f;
    char out[8] = "keep";
    char* null = nullptr;
    f.readTag(&null, out, 0);
    f.readTag(nullptr, out, 0);
    char empty[] = "";
    char* cursor = empty;
    f.readTag(&cursor, out, 0);
    EXPECT_EQ(cursor, empty);
    EXPECT_STREQ(out, "keep");
    char text[] = "a,b";
    cursor = text;
    f.readTag(&cursor, nullptr, 0);
    EXPECT_EQ(cursor, text);
}

TEST(ReadTagNum, ReadsNumbersInARow) {
    struct Case {
        std::string text;
        int sep;
        std::vector<int> numbers;  // four reads
    };
    // Missing: -1; past the end: 0; a field is cut at 255 bytes and consumed whole.
    const Case cases[] = {{"30-3-3600", 1, {30, 3, 3600, 0}},
                          {"--5", 1, {-1, -1, 5, 0}},
                          {"12ab:7", 2, {12, 7, 0, 0}},
                          {" -4,+9,x", 0, {-4, 9, 0, 0}},
                          {"", 0, {0, 0, 0, 0}},
                          {std::string(255, '0') + "7-42", 1, {0, 42, 0, 0}},
                          {std::string(254, '0') + "7-1", 1, {7, 1, 0, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        CGiboFile f;
        std::string text(c.text);
        char* cursor = &text[0];
        std::vector<int> got;
        for (int i = 0; i < 4; ++i) {
            got.push_back(f.readTagNum(&cursor, c.sep));
        }
        EXPECT_EQ(got, c.numbers);
    }
    CGiboFile f;
    char* null = nullptr;
    EXPECT_EQ(f.readTagNum(&null, 0), 0);
    EXPECT_EQ(f.readTagNum(nullptr, 0), 0);
}

TEST(GetTagData, SplitsCodeAndValueWithinTheBuffer) {
    struct Case {
        std::string item;
        char code;
        int result;
        std::string value;  // "keep": untouched
    };
    const std::string v255(255, 'v');
    const Case cases[] = {
        {"S1", 'S', 1, "1"},
        {"IXplayer", 'I', 1, "player"},
        {"K?\xBA\xDA", 'K', 1, "\xBA\xDA"},  // the second code character is not examined
        {"Q9", 'Q', 0, "keep"},
        {"s1", 's', 0, "keep"},
        {"S", 'S', 1, ""},
        {"I", 'I', 1, ""},  // shorter than its two-character code
        {"", '\0', 0, "keep"},
        {"Nx" + v255, 'N', 1, v255},
        {"Nx" + v255 + "v", 'N', 1, v255},
        {"Nx" + Repeat("\xBA\xDA", 200), 'N', 1, Repeat("\xBA\xDA", 127)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.substr(0, 20));
        CGiboFile f;
        std::string item(c.item);
        char code = '@';
        Guarded<256> value;
        if (c.value == "keep") {
            std::strcpy(value.buf, "keep");
        }
        EXPECT_EQ(f.GetTagData(&item[0], code, value.buf), c.result);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(value.Text(), c.value);
        EXPECT_TRUE(value.GuardIntact());
    }
    CGiboFile f;
    char code = '@';
    EXPECT_EQ(f.GetTagData(nullptr, code, nullptr), 0);
    EXPECT_EQ(code, '@');
    char item[] = "S12";
    EXPECT_EQ(f.GetTagData(item, code, nullptr), 1);  // the value is optional
    EXPECT_EQ(code, 'S');
}

TEST(RemoveSpace, DropsOnlyBlanksWithinTheBuffer) {
    std::string spaced;  // blanks do not count toward the limit: 200 letters among 200 blanks
    for (int i = 0; i < 200; ++i) {
        spaced += " z";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"a b  c", "abc"},
        {" lead and trail ", "leadandtrail"},
        {"tab\tstays\n", "tab\tstays\n"},
        {"\x81\x5C \xBA\xDA", "\x81\x5C\xBA\xDA"},  // 乗 黑
        {"", ""},
        {spaced, std::string(200, 'z')},
        {std::string(300, 'y'), std::string(255, 'y')},
        {Repeat("\xBA\xDA", 150), Repeat("\xBA\xDA", 127)},
    };
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(from);
        CGiboFile f;
        std::string src = from;
        Guarded<256> dst;
        f.RemoveSpace(dst.buf, &src[0]);
        EXPECT_EQ(dst.Text(), to);
        EXPECT_TRUE(dst.GuardIntact());
        src.resize(std::max<size_t>(src.size(), 256));  // and in place
        f.RemoveSpace(&src[0], &src[0]);
        EXPECT_EQ(std::string(src.c_str()), to);
    }
    CGiboFile f;
    char src[] = "a b";
    f.RemoveSpace(nullptr, src);
    EXPECT_STREQ(src, "a b");
    char dst[8] = "keep";
    f.RemoveSpace(dst, nullptr);
    EXPECT_STREQ(dst, "");
}

}  // namespace
