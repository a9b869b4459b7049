// The scanning primitives: readTag, readTagNum, GetTagData, RemoveSpace, with their bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "GiboFile.h"

namespace {

// An output buffer of the size the callers use, followed by a guard that must stay untouched.
template <size_t N>
struct Guarded {
    char buf[N + 64];
    Guarded() { Reset(); }
    void Reset() {
        std::fill(buf, buf + N, '\0');
        std::fill(buf + N, buf + N + 64, '#');
    }
    bool GuardIntact() const {
        return std::all_of(buf + N, buf + N + 64, [](char c) { return c == '#'; });
    }
    std::string Text() const { return std::string(buf, strnlen(buf, N)); }
};

// Reads every field of text with readTag; the cursor must always stay inside the text.
std::vector<std::string> Fields(std::string text, int nSep) {
    CGiboFile f;
    std::vector<std::string> out;
    char* cursor = &text[0];
    char* const end = cursor + text.size();
    while (*cursor != '\0') {
        Guarded<1024> field;
        f.readTag(&cursor, field.buf, nSep);
        EXPECT_TRUE(field.GuardIntact());
        EXPECT_LE(cursor, end);
        out.push_back(field.Text());
    }
    return out;
}

using Strings = std::vector<std::string>;

TEST(ReadTag, CutsFieldsAtTheSeparator) {
    EXPECT_EQ(Fields("S1,R2", 0), (Strings{"S1", "R2"}));
    EXPECT_EQ(Fields(",R2", 0), (Strings{"", "R2"}));
    EXPECT_EQ(Fields("a,,b,", 0), (Strings{"a", "", "b"}));
    EXPECT_EQ(Fields("600-30-3", 1), (Strings{"600", "30", "3"}));
    EXPECT_EQ(Fields("GNAME:a:b", 2), (Strings{"GNAME", "a", "b"}));
    EXPECT_EQ(Fields("a-b,c", 0), (Strings{"a-b", "c"}));
    // GBK bytes pass through; the separators are below 0x40 and never a trail byte.
    EXPECT_EQ(Fields("\x81\x5C,\xBA\xDA", 0), (Strings{"\x81\x5C", "\xBA\xDA"}));  // 乗,黑
}

TEST(ReadTag, CursorStopsOnTheTerminatingZero) {
    CGiboFile f;
    char text[] = "S1,R2";
    char* cursor = text;
    char out[1024] = {0};
    f.readTag(&cursor, out, 0);
    EXPECT_STREQ(out, "S1");
    EXPECT_EQ(cursor, text + 3);
    std::memset(out, 0, sizeof out);
    f.readTag(&cursor, out, 0);
    EXPECT_STREQ(out, "R2");
    EXPECT_EQ(cursor, text + 5);
    std::memset(out, 0, sizeof out);
    f.readTag(&cursor, out, 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(cursor, text + 5);
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

TEST(ReadTag, OverLongFieldKeeps1023BytesAndConsumesTheRest) {
    for (size_t len : {1023u, 1024u, 1025u, 4000u}) {
        SCOPED_TRACE(len);
        CGiboFile f;
        std::string text = std::string(len, 'a') + ",next";
        char* cursor = &text[0];
        Guarded<1024> out;
        f.readTag(&cursor, out.buf, 0);
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(out.Text(), std::string(std::min<size_t>(len, 1023), 'a'));
        EXPECT_STREQ(cursor, "next");
    }
}

TEST(ReadTagNum, ReadsNumbersInARow) {
    struct Case {
        const char* text;
        int sep;
        std::vector<int> numbers;  // four reads
    };
    const Case cases[] =
        {
            {"30-3-3600", 1, {30, 3, 3600, 0}},
            {"--5", 1, {-1, -1, 5, 0}},  // missing between separators: -1; after the end: 0
            {"12ab:7", 2, {12, 7, 0, 0}},
            {" -4,+9,x", 0, {-4, 9, 0, 0}},
            {"", 0, {0, 0, 0, 0}},
        };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
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

TEST(ReadTagNum, CutsAt255BytesAndConsumesTheRest) {
    CGiboFile f;
    // 255 zeros fit and give 0; the 7 past the cut is not read. The whole field is consumed.
    std::string text = std::string(300, '0') + "7-42";
    char* cursor = &text[0];
    EXPECT_EQ(f.readTagNum(&cursor, 1), 0);
    EXPECT_EQ(f.readTagNum(&cursor, 1), 42);

    std::string fits = std::string(254, '0') + "7-1";
    cursor = &fits[0];
    EXPECT_EQ(f.readTagNum(&cursor, 1), 7);
}

TEST(GetTagData, SplitsCodeAndValue) {
    struct Case {
        const char* item;
        char code;
        int result;
        const char* value;  // "keep" when untouched
    };
    const Case cases[] = {
        {"S1", 'S', 1, "1"},
        {"IXplayer", 'I', 1, "player"},
        {"D65", 'D', 1, "65"},
        {"K?\xBA\xDA", 'K', 1, "\xBA\xDA"},  // the second code character is not examined
        {"Q9", 'Q', 0, "keep"},
        {"s1", 's', 0, "keep"},
        {"S", 'S', 1, ""},
        {"I", 'I', 1, ""},  // shorter than its two-character code
        {"", '\0', 0, "keep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        CGiboFile f;
        std::string item(c.item);
        char code = '@';
        char value[256] = "keep";
        if (std::string(c.value) != "keep") {
            std::memset(value, 0, sizeof value);
        }
        EXPECT_EQ(f.GetTagData(&item[0], code, value), c.result);
        EXPECT_EQ(code, c.code);
        EXPECT_STREQ(value, c.value);
    }
}

TEST(GetTagData, CopiesAtMost255ValueBytes) {
    for (size_t len : {254u, 255u, 256u, 2000u}) {
        SCOPED_TRACE(len);
        CGiboFile f;
        std::string item = "N" + std::string(1, 'x') + std::string(len, 'v');
        char code = 0;
        Guarded<256> value;
        EXPECT_EQ(f.GetTagData(&item[0], code, value.buf), 1);
        EXPECT_EQ(value.Text(), std::string(std::min<size_t>(len, 255), 'v'));
        EXPECT_EQ(value.buf[255], '\0');
        EXPECT_TRUE(value.GuardIntact());
    }
}

TEST(RemoveSpace, DropsOnlyBlanks) {
    struct Case {
        std::string src, dst;
    };
    const Case cases[] = {
        {"a b  c", "abc"},
        {" lead and trail ", "leadandtrail"},
        {"tab\tstays\n", "tab\tstays\n"},
        {"\x81\x5C \xBA\xDA", "\x81\x5C\xBA\xDA"},  // 乗 黑
        {"", ""},
        // Blanks do not count toward the limit: 200 letters among 200 blanks all stay.
        {[] {
             std::string s;
             for (int i = 0; i < 200; ++i) {
                 s += " z";
             }
             return s;
         }(),
         std::string(200, 'z')},
        {std::string(300, 'y'), std::string(255, 'y')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        CGiboFile f;
        std::string src = c.src;
        Guarded<256> dst;
        f.RemoveSpace(dst.buf, &src[0]);
        EXPECT_EQ(dst.Text(), c.dst);
        EXPECT_TRUE(dst.GuardIntact());

        // In place.
        std::string inPlace = c.src;
        inPlace.resize(std::max<size_t>(inPlace.size(), 256));
        f.RemoveSpace(&inPlace[0], &inPlace[0]);
        EXPECT_EQ(std::string(inPlace.c_str()), c.dst);
    }
}

TEST(RemoveSpace, NullArguments) {
    CGiboFile f;
    char src[] = "a b";
    f.RemoveSpace(nullptr, src);
    EXPECT_STREQ(src, "a b");
    char dst[8] = "keep";
    f.RemoveSpace(dst, nullptr);
    EXPECT_STREQ(dst, "");
}

}  // namespace
