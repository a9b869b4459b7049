// Reference blocks: the bytes AppendReference writes and what GetReference reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

struct BlockCase {
    unsigned short susun;
    const char* explain;
    unsigned short refNum;
    const char* gibo;  // may be null
    int giboLen;
    const char* bytes;
};

const BlockCase kBlocks[] = {
    {0, "", 0, nullptr, 0, "\r\n\\RS\r\n\\[REFSUSUN = 0\\]\r\n\\RE\r\n"},
    {1, "", 0, "STO 1\r\n", 0, "\r\n\\RS\r\n\\[REFSUSUN = 1\\]\r\n\\RE\r\n"},
    {65535, "note", 3, "STO 1\r\n", 7,
     "\r\n\\RS\r\n\\[REFSUSUN = 65535\\]\r\n\\[REFEXPLAIN = \r\nnote\r\n\\]\r\n"
     "\\[REFNUM = 3\\]\r\n\\[REFGIBO = \r\nSTO 1\r\n\\]\r\n\\RE\r\n"},
    {2, "", 9, "STO 1", 5,
     "\r\n\\RS\r\n\\[REFSUSUN = 2\\]\r\n\\[REFNUM = 9\\]\r\n\\[REFGIBO = \r\nSTO 1\\]\r\n"
     "\\RE\r\n"},
};

TEST(References, AppendWritesTheBlockAtTheEnd) {
    for (const auto& c : kBlocks) {
        TempDir dir;
        const std::string path = dir.Path("refs");
        WriteBytes(path, "HEAD");
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeReadWrite));  // position at the start
        CGiboFile f;
        EXPECT_EQ(f.AppendReference(&file, c.susun, c.explain, c.refNum,
                                    reinterpret_cast<unsigned char*>(const_cast<char*>(c.gibo)),
                                    c.giboLen),
                  1);
        file.Close();
        EXPECT_EQ(Shown(ReadBytes(path)), Shown(std::string("HEAD") + c.bytes));
        EXPECT_EQ(f.GetError(), 0u);
    }
}

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

TEST(References, BlocksReadBackOneAfterAnother) {
    TempDir dir;
    const std::string path = dir.Path("refs");
    WriteBytes(path, "\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeWrite));
        CGiboFile f;
        unsigned char game[] = "STO 1\r\nSTO \xB1\x5C]\r\n";  // trail byte 0x5C before ']'
        f.AppendReference(&file, 65535, "  first\r\nsecond", 0, game, sizeof game - 1);
        unsigned char bare[] = "STO 2";
        f.AppendReference(&file, 4, "", 700, bare, 5);
        f.AppendReference(&file, 5, "x", 6, nullptr, 5);
        file.Close();
    }
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    CGiboFile f;
    f.m_strHeader = "\\[TYPE=1\\]";
    const struct {
        unsigned short susun, refNum;
        const char *explain, *gibo;
    } blocks[] = {{65535, 0, "first\r\nsecond\r\n", "STO 1\r\nSTO \xB1\x5C]\r\n"},
                  {4, 700, "", "STO 2"},
                  {5, 6, "x\r\n", nullptr}};
    for (const auto& b : blocks) {
        Read r;
        r.Next(f, file);
        EXPECT_EQ(r.found, 1);
        EXPECT_EQ(r.susun, b.susun);
        EXPECT_EQ(r.refNum, b.refNum);
        EXPECT_EQ(r.explain, b.explain);
        EXPECT_EQ(Shown(r.Gibo()), Shown(b.gibo ? b.gibo : ""));
        EXPECT_EQ(r.gibo == nullptr, b.gibo == nullptr);
        EXPECT_EQ(r.giboLen, static_cast<int>(std::strlen(b.gibo ? b.gibo : "")));
        if (b.susun == 65535) {
            int found = 1;
            f.GetParam("TYPE", found);  // the block replaced the parameter text
            EXPECT_EQ(found, 0);
            EXPECT_EQ(f.GetParam("REFSUSUN", found), " 65535");
        }
    }
    Read end;
    end.Next(f, file);
    EXPECT_EQ(end.found, 0);
    EXPECT_EQ(end.gibo, nullptr);
    EXPECT_TRUE(f.m_strHeader.IsEmpty());
}

struct ReadCase {
    const char* text;
    int found;
    int susun;
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
