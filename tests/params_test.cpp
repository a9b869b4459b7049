// Header items \[TAG=value\] in the parameter text: reading, replacing, setting, clearing.
#include <gtest/gtest.h>

#include <string>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

struct GetCase {
    const char *header, *tag, *value;
    int found;
};

// "\xB1\x5C" is a double-byte character whose trail byte is 0x5C, a backslash on its own.
const GetCase kGetCases[] = {
    {"\\[TYPE=1\\]", "", "", 0},
    {"", "TYPE", "", 0},
    {"\\[TYPE = 5\\]\r\n", "TYPE", " 5", 1},
    {"\\[TYPE=\\]\r\n", "TYPE", "", 1},
    {"\\[TYPE\\]\r\n\\[A=1\\]\r\n", "TYPE", "", 0},
    {"\\[TYPE=3", "TYPE", "", 0},
    {"\\[GAMENAME=x\\]", "GAME", "x", 1},
    {"\\[XTYPE=1\\]\\[TYPE=2\\]", "TYPE", "2", 1},
    {"\\[A=b=c\\]", "A", "b=c", 1},
    {"\\[A=1\\]\r\n\\[A=2\\]\r\n", "A", "1", 1},
    {"\\[REFEXPLAIN = \r\nline\r\n\\]\r\n", "REFEXPLAIN", " \r\nline\r\n", 1},
    {"\\[N=\xB1\x5C\\]", "N", "\xB1\x5C", 1},
    {"\\[N=\xB1\x5C]x\\]", "N", "\xB1\x5C]x", 1},
    {"\xB1\x5C[TYPE=1\\]", "TYPE", "", 0},
};

TEST(Params, GetParamReadsTheFirstItemWithItsValueUnchanged) {
    for (const auto& c : kGetCases) {
        CGiboFile f;
        f.m_strHeader = c.header;
        f.m_dwError = 0x10000005;
        int found = -1;
        const CString value = f.GetParam(c.tag, found);
        EXPECT_EQ(Shown(value.str()), Shown(c.value)) << Shown(c.header) << " tag " << c.tag;
        EXPECT_EQ(found, c.found) << Shown(c.header) << " tag " << c.tag;
        EXPECT_EQ(f.m_dwError, 0x10000005u);
    }
}

struct ChangeCase {
    const char *header, *tag, *value;
    int result;
    const char* after;
};

const ChangeCase kReplaceCases[] = {
    {"\\[TYPE = 5\\]\r\n", "TYPE", "7", 1, "\\[TYPE =7\\]\r\n"},
    {"", "TYPE", "7", 0, ""},
    {"\\[A=1\\]\\[B=2\\]", "", "x", 1, "\\[A=x\\]\\[B=2\\]"},
    {"\\[A=1\\]\r\n\\[A=2\\]\r\n", "A", " v ", 1, "\\[A= v \\]\r\n\\[A=2\\]\r\n"},
    {"\\[TYPE=3", "TYPE", "7", 0, "\\[TYPE=3"},
    {"\\[N=\xB1\x5C\\]\r\n", "N", "v", 1, "\\[N=v\\]\r\n"},
    // An item without '=' is mended in place; the next item's '=' is not touched.
    {"\\[TYPE\\]\r\n\\[SZAUDIO=9\\]\r\n", "TYPE", "3", 1, "\\[TYPE=3\\]\r\n\\[SZAUDIO=9\\]\r\n"},
    {"\\[TYPE \\]", "TYPE", "3", 1, "\\[TYPE =3\\]"},
};

TEST(Params, ReplaceParamChangesOnlyTheFirstItemsValue) {
    for (const auto& c : kReplaceCases) {
        CGiboFile f;
        f.m_strHeader = c.header;
        EXPECT_EQ(f.ReplaceParam(c.tag, c.value), c.result) << Shown(c.header);
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.after)) << Shown(c.header);
        EXPECT_EQ(f.m_dwError, 0u);
    }
}

const ChangeCase kSetCases[] = {
    {"", "TYPE", "3", 1, "\\[TYPE=3\\]\r\n"},
    {"\\[A=1\\]\r\n", "", "x", 0, "\\[A=1\\]\r\n"},
    {"", "A", "  \\x ", 1, "\\[A=x\\]\r\n"},
    {"", "A", "a\\b", 1, "\\[A=a b\\]\r\n"},
    {"", "T\\G", "v", 1, "\\[T G=v\\]\r\n"},
    {"", "A", "\t x\r\n", 1, "\\[A=\t x\r\n\\]\r\n"},
    {"", "A", "", 1, "\\[A=\\]\r\n"},
    {"", "N", "\xB1\x5C", 1, "\\[N=\xB1\x5C\\]\r\n"},
    // Found by the params fuzzer: a lone lead byte ending text, tag or value ate the backslash.
    {"x\xF7", "TYPE", "3", 1, "x\xF7\r\n\\[TYPE=3\\]\r\n"},
    {"", "A", "ab\xC4", 1, "\\[A=ab\\]\r\n"},
    {"", "A", "ab \xC4", 1, "\\[A=ab\\]\r\n"},
    {"", "T\xC4", "v", 1, "\\[T=v\\]\r\n"},
    {"\\[A=1\\]", "\xC4", "v", 0, "\\[A=1\\]"},
    {"\\[A=1\\]\r\n\\[B=2\\]\r\n", "A", "9", 1, "\\[A=9\\]\r\n\\[B=2\\]\r\n"},
    {"\\[A=1\\]\r\n", "B", "2", 1, "\\[A=1\\]\r\n\\[B=2\\]\r\n"},
};

TEST(Params, SetParamCleansTheValueAndReplacesOrAppends) {
    for (const auto& c : kSetCases) {
        CGiboFile f;
        f.m_strHeader = c.header;
        EXPECT_EQ(f.SetParam(c.tag, c.value), c.result) << Shown(c.value);
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.after)) << Shown(c.value);
        EXPECT_EQ(f.m_dwError, 0u);
    }
}

// A tag ending in a lead byte: GetParam and ReplaceParam must read its '=' the same way.
TEST(Params, TagEndingInALeadByteIsReadWhereItWasReplaced) {
    CGiboFile f;
    f.m_strHeader = "\\[A\x81=1\\]";
    ASSERT_EQ(f.ReplaceParam("A\x81", "v"), 1);
    int found = 0;
    EXPECT_EQ(f.GetParam("A\x81", found), "v");
    EXPECT_EQ(found, 1);
}

}  // namespace
