// Header items \[TAG=value\] in the parameter text, and reference blocks written and read.

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
    // A tag ending in a lead byte: GetParam must read its '=' where ReplaceParam found it.
    {"\\[A\x81=1\\]", "A\x81", "v", 1, "\\[A\x81=v\\]"},
};

const ChangeCase kSetCases[] = {
    {"", "TYPE", "3", 1, "\\[TYPE=3\\]\r\n"},
    {"\\[A=1\\]\r\n", "", "x", 0, "\\[A=1\\]\r\n"},
    {"", "A", "  \\x ", 1, "\\[A=x\\]\r\n"},
    {"", "A", "a\\b", 1, "\\[A=a b\\]\r\n"},
    {"", "T\\G", "v", 1, "\\[T G=v\\]\r\n"},
    {"", "A", "\t x\r\n", 1, "\\[A=\t x\r\n\\]\r\n"},
    {"", "A", "", 1, "\\[A=\\]\r\n"},
    {"", "N", "\xB1\x5C", 1, "\\[N=\xB1\x5C\\]\r\n"},
    // Found by the params fuzzer: a lone lead byte ending the text or the value ate the
    // backslash after it; it is dropped from a value, with the blanks it leaves at the end.
    {"x\xF7", "TYPE", "3", 1, "x\xF7\r\n\\[TYPE=3\\]\r\n"},
    {"", "A", "ab\xC4", 1, "\\[A=ab\\]\r\n"},
    {"", "A", "a \xC4 \xC4 ", 1, "\\[A=a\\]\r\n"},
    {"", "A", "\xC4\xC4\xC4\xC4", 1, "\\[A=\xC4\xC4\xC4\xC4\\]\r\n"},
    // After a tag it does no harm ('=' is never a second byte): the tag stays whole.
    {"", "T\xC4", "v", 1, "\\[T\xC4=v\\]\r\n"},
    {"\\[A=1\\]", "\xC4", "v", 1, "\\[A=1\\]\\[\xC4=v\\]\r\n"},
    {"\\[A=1\\]\r\n\\[B=2\\]\r\n", "A", "9", 1, "\\[A=9\\]\r\n\\[B=2\\]\r\n"},
    {"\\[A=1\\]\r\n", "B", "2", 1, "\\[A=1\\]\r\n\\[B=2\\]\r\n"},
};

// ReplaceParam changes the first item's value, where GetParam then reads it; SetParam cleans
// the value, replaces or appends.
TEST(Params, ReplaceAndSetChangeTheHeaderText) {
    auto check = [](const ChangeCase& c, int (CGiboFile::*change)(CString, CString)) {
        CGiboFile f;
        f.m_strHeader = c.header;
        EXPECT_EQ((f.*change)(c.tag, c.value), c.result) << Shown(c.header) << Shown(c.value);
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.after)) << Shown(c.value);
        EXPECT_EQ(f.m_dwError, 0u);
        int found = 0;
        if (change == &CGiboFile::ReplaceParam && c.result && *c.tag) {
            EXPECT_EQ(Shown(f.GetParam(c.tag, found).str()), Shown(c.value)) << Shown(c.header);
            EXPECT_EQ(found, 1);
        }
    };
    for (const auto& c : kReplaceCases) {
        check(c, &CGiboFile::ReplaceParam);
    }
    for (const auto& c : kSetCases) {
        check(c, &CGiboFile::SetParam);
    }
}

// Blocks appended one after another: the bytes each adds, and what reading it back gives.
const struct Block {
    unsigned short susun;
    const char* explain;
    unsigned short refNum;
    const char* gibo;  // may be null
    int giboLen;
    const char *bytes, *explainBack, *giboBack;  // giboBack null: none
} kBlocks[] = {
    {0, "", 0, nullptr, 0, "\r\n\\RS\r\n\\[REFSUSUN = 0\\]\r\n\\RE\r\n", "", nullptr},
    {1, "", 0, "STO 1\r\n", 0, "\r\n\\RS\r\n\\[REFSUSUN = 1\\]\r\n\\RE\r\n", "", nullptr},
    {65535, "note", 3, "STO 1\r\n", 7,
     "\r\n\\RS\r\n\\[REFSUSUN = 65535\\]\r\n\\[REFEXPLAIN = \r\nnote\r\n\\]\r\n"
     "\\[REFNUM = 3\\]\r\n\\[REFGIBO = \r\nSTO 1\r\n\\]\r\n\\RE\r\n",
     "note\r\n", "STO 1\r\n"},
    {2, "", 700, "STO 1", 5,
     "\r\n\\RS\r\n\\[REFSUSUN = 2\\]\r\n\\[REFNUM = 700\\]\r\n\\[REFGIBO = \r\nSTO 1\\]\r\n"
     "\\RE\r\n",
     "", "STO 1"},
    {5, "x", 6, nullptr, 5,
     "\r\n\\RS\r\n\\[REFSUSUN = 5\\]\r\n\\[REFEXPLAIN = \r\nx\r\n\\]\r\n"
     "\\[REFNUM = 6\\]\r\n\\RE\r\n",
     "x\r\n", nullptr},
    // A trail byte 0x5C before ']'; the explanation is read back without its leading blanks.
    {65535, "  first\r\nsecond", 0, "STO 1\r\nSTO \xB1\x5C]\r\n", 16,
     "\r\n\\RS\r\n\\[REFSUSUN = 65535\\]\r\n\\[REFEXPLAIN = \r\n  first\r\nsecond\r\n\\]\r\n"
     "\\[REFGIBO = \r\nSTO 1\r\nSTO \xB1\x5C]\r\n\\]\r\n\\RE\r\n",
     "first\r\nsecond\r\n", "STO 1\r\nSTO \xB1\x5C]\r\n"},
    // A lead byte without its second byte at the end of the game would take the closer's
    // backslash: it is dropped. At the end of the explanation a line end follows it.
    {7, "y\xB1", 8, "STO \xB1\xB1\xB1", 7,
     "\r\n\\RS\r\n\\[REFSUSUN = 7\\]\r\n\\[REFEXPLAIN = \r\ny\xB1\r\n\\]\r\n\\[REFNUM = 8\\]\r\n"
     "\\[REFGIBO = \r\nSTO \xB1\xB1\\]\r\n\\RE\r\n",
     "y\xB1\r\n", "STO \xB1\xB1"},
};

struct Read {
    unsigned char* gibo = nullptr;
    int found = -1;
    unsigned short susun = 1, refNum = 1;
    CString explain = "stale";
    int giboLen = -1;
    std::string Gibo() const {
        return gibo ? std::string(reinterpret_cast<char*>(gibo), giboLen) : "";
    }
    void Next(CGiboFile& f, CStdioFile& file) {
        gibo = f.GetReference(&file, found, susun, explain, refNum, giboLen);
    }
    ~Read() { std::free(gibo); }
};

TEST(References, BlocksAreWrittenAtTheEndAndReadBackOneAfterAnother) {
    TempDir dir;
    const std::string path = dir.Path("refs"), head = "\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n";
    WriteBytes(path, head);
    // The writer stays open at the file's start: another reader sees at once what it wrote.
    CFile writer;
    ASSERT_TRUE(writer.Open(path.c_str(), CFile::modeWrite));
    std::string all = head;
    for (const Block& b : kBlocks) {
        CGiboFile f;
        std::string gibo = b.gibo ? b.gibo : "";
        EXPECT_EQ(f.AppendReference(&writer, b.susun, b.explain, b.refNum,
                                    b.gibo ? reinterpret_cast<unsigned char*>(&gibo[0]) : nullptr,
                                    b.giboLen),
                  1);
        EXPECT_EQ(f.GetError(), 0u);
        all += b.bytes;
    }
    EXPECT_EQ(Shown(ReadBytes(path)), Shown(all));
    EXPECT_EQ(CGiboFile().AppendReference(nullptr, 1, "", 0, nullptr, 0), 0);  // no file
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    CGiboFile f;
    f.m_strHeader = "\\[TYPE=1\\]";
    for (const Block& b : kBlocks) {
        SCOPED_TRACE(Shown(b.bytes));
        Read r;
        r.Next(f, file);
        EXPECT_EQ(r.found, 1);
        EXPECT_EQ(r.susun, b.susun);
        EXPECT_EQ(r.refNum, b.refNum);
        EXPECT_EQ(r.explain, b.explainBack);
        EXPECT_EQ(Shown(r.Gibo()), Shown(b.giboBack ? b.giboBack : ""));
        EXPECT_EQ(r.gibo == nullptr, b.giboBack == nullptr);
        EXPECT_EQ(r.giboLen, static_cast<int>(std::strlen(b.giboBack ? b.giboBack : "")));
        int found = 1;
        f.GetParam("TYPE", found);  // the block replaced the parameter text
        EXPECT_EQ(found, 0);
        EXPECT_EQ(f.GetParam("REFSUSUN", found), (" " + std::to_string(b.susun)).c_str());
    }
    Read end;
    end.Next(f, file);
    EXPECT_EQ(end.found, 0);
    EXPECT_EQ(end.gibo, nullptr);
    EXPECT_TRUE(f.m_strHeader.IsEmpty());
}

struct ReadCase {
    const char* text;
    int found, susun;
    const char* gibo;
    const char* header;  // the parameter text afterwards
};

const ReadCase kReads[] = {
    {"x\\RS\\[REFSUSUN=5\\]\\[REFGIBO=\t STO\\]\\REy\r\n", 1, 5, "STO",
     "\\[REFSUSUN=5\\]\\[REFGIBO=\t STO\\]\r\n"},
    {"\\[REFSUSUN=5\\]\r\n", 0, 0, "", ""},
    {"\\RS\r\n\\[REFSUSUN=70000\\]\r\n", 0, 0, "", "\\[REFSUSUN=70000\\]\r\n"},
    {"\\RS\\[REFSUSUN=70000\\]\r\n\\RE", 1, 70000 & 0xFFFF, "", "\\[REFSUSUN=70000\\]\r\n"},
    {"\xB1\x5CRS\r\n\\RS\\[REFGIBO=a\xB1\x5CRE\\]\\RE", 1, 0, "a\xB1\x5CRE",
     "\\[REFGIBO=a\xB1\x5CRE\\]\r\n"},
    // Present but empty: a buffer of length 0, not null (absent).
    {"\\RS\\[REFGIBO= \r\n\\]\\RE", 1, 0, "", "\\[REFGIBO= \r\n\\]\r\n"},
};

TEST(References, ReadsOneBlockFromTheCurrentPosition) {
    for (const auto& c : kReads) {
        TempDir dir;
        WriteBytes(dir.Path("refs"), c.text);
        CStdioFile file;
        ASSERT_TRUE(file.Open(dir.Path("refs").c_str(), CFile::modeRead));
        CGiboFile f;
        Read r;
        r.Next(f, file);
        SCOPED_TRACE(Shown(c.text));
        EXPECT_EQ(r.found, c.found);
        EXPECT_EQ(r.susun, c.susun);
        EXPECT_EQ(Shown(r.Gibo()), Shown(c.gibo));
        EXPECT_EQ(r.gibo != nullptr, std::strstr(c.text, "REFGIBO") != nullptr);
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.header));
    }
}

}  // namespace
