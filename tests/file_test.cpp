// CFile, CStdioFile and CFileFind: line reading, opening, positioning and failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GiboFileIO.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

class FileTest : public testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.Path(name); }

    std::string Put(const char* name, const std::string& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir_;
};

std::vector<std::string> Lines(const std::string& path) {
    CStdioFile f;
    EXPECT_TRUE(f.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    std::vector<std::string> lines;
    CString line;
    while (f.ReadString(line)) {
        lines.push_back(line.str());
    }
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_FALSE(f.ReadString(line));  // and it stays at the end
    return lines;
}

using Strings = std::vector<std::string>;

TEST_F(FileTest, ReadStringLineEnds) {
    struct Case {
        std::string bytes;
        Strings lines;
    };
    const Case cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\n", {"a\rb"}},  // a lone CR stays in the line
        {"a\nlast", {"a", "last"}},
        {"a\r", {"a\r"}},
        {"x\r\r\n", {"x\r"}},
        {"\n\r\n", {"", ""}},
        {"", {}},
        {"\\HS\r\n\x81\x5C\r\n\\HE", {"\\HS", "\x81\x5C", "\\HE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(Lines(Put("lines.txt", c.bytes)), c.lines);
    }
}

TEST_F(FileTest, ReadStringLongLines) {
    const std::string a(100000, 'a');
    const std::string b(255, 'b');
    const std::string c(257, 'c');
    EXPECT_EQ(Lines(Put("long.txt", a + "\r\n" + b + "\n" + c)), (Strings{a, b, c}));
}

TEST_F(FileTest, OpenFailsWithoutThrowing) {
    CFile f;
    EXPECT_FALSE(f.Open(Path("missing").c_str(), CFile::modeRead));
    EXPECT_FALSE(f.Open(Path("missing").c_str(), CFile::modeWrite));  // no modeCreate
    EXPECT_FALSE(f.Open(Path("no/such/dir/x").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(f.Open(dir_.Dir().c_str(), CFile::modeRead | CFile::typeBinary));
    EXPECT_FALSE(f.Open(dir_.Dir().c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(f.Open("", CFile::modeRead));
    EXPECT_FALSE(f.Open(nullptr, CFile::modeRead));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(FileTest, ReadWriteSeekAndLength) {
    std::string data;
    for (int i = 0; i < 5000; ++i) {
        data += static_cast<char>(i * 7);
    }
    const std::string path = Path("data.bin");
    {
        CFile out;
        ASSERT_TRUE(
            out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        for (size_t at = 0; at < data.size(); at += 1024) {  // the library's copy loops
            out.Write(data.data() + at,
                      static_cast<unsigned>(std::min<size_t>(1024, data.size() - at)));
        }
        EXPECT_EQ(out.GetLength(), 5000);  // counts what is still buffered
        out.Close();
    }
    EXPECT_EQ(Slurp(path), data);

    CFile in;
    ASSERT_TRUE(in.Open(path.c_str(), CFile::modeRead | CFile::typeBinary));
    EXPECT_EQ(in.GetLength(), 5000);
    EXPECT_EQ(in.Seek(-10, CFile::end), 4990);
    char buf[100];
    EXPECT_EQ(in.Read(buf, sizeof buf), 10u);
    EXPECT_EQ(std::string(buf, 10), data.substr(4990));
    EXPECT_EQ(in.Read(buf, sizeof buf), 0u);
    EXPECT_EQ(in.Seek(100, CFile::begin), 100);
    EXPECT_EQ(in.Seek(-50, CFile::current), 50);
    EXPECT_EQ(in.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), data.substr(50, 3));
    EXPECT_EQ(in.SeekToEnd(), 5000);
}

TEST_F(FileTest, SeekBeforeTheStartRaises) {
    const std::string path = Put("s.bin", "0123456789");
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    f.Seek(4, CFile::begin);
    for (auto [off, from] : {std::pair<int64_t, unsigned>{-1, CFile::begin},
                             {-5, CFile::current},
                             {-11, CFile::end}}) {
        try {
            f.Seek(off, from);
            ADD_FAILURE() << "no exception for " << off << " from " << from;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::badSeek);
        }
    }
    EXPECT_EQ(f.GetPosition(), 4);  // a refused seek does not move
    EXPECT_EQ(f.Seek(-10, CFile::end), 0);
}

TEST_F(FileTest, CreateTruncatesUnlessNoTruncate) {
    const std::string path = Put("t.txt", "hello world");
    {
        CFile f;
        ASSERT_TRUE(
            f.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        EXPECT_EQ(f.GetLength(), 11);
        f.Write("J", 1);
        f.Close();
    }
    EXPECT_EQ(Slurp(path), "Jello world");
    {
        CFile f;
        ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(f.GetLength(), 0);
    }
    EXPECT_EQ(Slurp(path), "");
    {
        CFile f;  // modeNoTruncate also creates a missing file
        ASSERT_TRUE(f.Open(Path("new.txt").c_str(),
                           CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    }
    EXPECT_TRUE(fs::exists(Path("new.txt")));
}

TEST_F(FileTest, ReadThenWriteWithoutSeekInReadWriteMode) {
    const std::string path = Put("rw.txt", "abcdefghij");
    {
        CFile f;
        ASSERT_TRUE(f.Open(path.c_str(), CFile::modeReadWrite));
        char buf[5];
        ASSERT_EQ(f.Read(buf, 5), 5u);
        f.Write("XY", 2);
        ASSERT_EQ(f.Read(buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "hij");
        f.Close();
    }
    EXPECT_EQ(Slurp(path), "abcdeXYhij");
}

TEST_F(FileTest, FailuresRaiseCFileException) {
    const std::string path = Put("ro.txt", "data");
    CFile ro;
    ASSERT_TRUE(ro.Open(path.c_str(), CFile::modeRead));
    EXPECT_THROW(ro.Write("x", 1), CFileException);
    ro.Close();
    EXPECT_THROW(ro.Read(nullptr, 1), CFileException);  // closed

    // A full disk shows up at the latest when the buffered data is written out.
    if (fs::exists("/dev/full")) {
        CFile full;
        ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite));
        try {
            full.Write("abc", 3);
            full.Close();
            ADD_FAILURE() << "no exception on a full device";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
        }
    }
}

TEST_F(FileTest, WriteStringAndReadStringRoundTrip) {
    const std::string path = Path("w.txt");
    {
        CStdioFile out;
        ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        out.WriteString("\\HS\r\n");
        out.WriteString("\\[GAMENAME=\x81\x5C\\]\r\n");  // 乗
        out.WriteString(nullptr);
        out.WriteString("\\HE\r\n");
        out.Close();
    }
    EXPECT_EQ(Slurp(path), "\\HS\r\n\\[GAMENAME=\x81\x5C\\]\r\n\\HE\r\n");  // no translation
    EXPECT_EQ(Lines(path), (Strings{"\\HS", "\\[GAMENAME=\x81\x5C\\]", "\\HE"}));
}

TEST_F(FileTest, FileFind) {
    const std::string path = Put("here.gib", "x");
    CFileFind finder;
    EXPECT_TRUE(finder.FindFile(path.c_str()));
    EXPECT_EQ(finder.GetFilePath(), path.c_str());
    finder.Close();
    EXPECT_TRUE(finder.GetFilePath().IsEmpty());
    EXPECT_FALSE(finder.FindFile(Path("gone.gib").c_str()));
    EXPECT_FALSE(finder.FindFile(""));
    EXPECT_FALSE(finder.FindFile(nullptr));
}

}  // namespace
