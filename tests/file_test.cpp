// CFile, CStdioFile and CFileFind: line reading, opening, positioning and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GiboFileIO.h"
#include "TestSupport.h"

namespace {

using Strings = std::vector<std::string>;

Strings Lines(const std::string& path) {
    CStdioFile f;
    EXPECT_TRUE(f.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    Strings lines;
    CString line;
    while (f.ReadString(line)) {
        lines.push_back(line.str());
    }
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_FALSE(f.ReadString(line));  // and it stays at the end
    return lines;
}

TEST(FileLayer, ReadStringLineEnds) {
    const std::string a(100000, 'a'), b(255, 'b'), c(257, 'c');
    const std::pair<std::string, Strings> cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\n", {"a\rb"}},  // a lone CR stays in the line
        {"a\nlast", {"a", "last"}},
        {"a\r", {"a\r"}},
        {"x\r\r\n", {"x\r"}},
        {"\n\r\n", {"", ""}},
        {"", {}},
        {"\\HS\r\n\x81\x5C\r\n\\HE", {"\\HS", "\x81\x5C", "\\HE"}},
        {a + "\r\n" + b + "\n" + c, {a, b, c}},
    };
    TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(bytes.substr(0, 20));
        WriteBytes(dir.Path("lines.txt"), bytes);
        EXPECT_EQ(Lines(dir.Path("lines.txt")), lines);
    }
}

TEST(FileLayer, OpenFailsWithoutThrowing) {
    TempDir dir;
    CFile f;
    EXPECT_FALSE(f.Open(dir.Path("missing").c_str(), CFile::modeRead));
    EXPECT_FALSE(f.Open(dir.Path("missing").c_str(), CFile::modeWrite));  // no modeCreate
    EXPECT_FALSE(f.Open(dir.Path("no/dir/x").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(f.Open(dir.Dir().c_str(), CFile::modeRead | CFile::typeBinary));
    EXPECT_FALSE(f.Open(dir.Dir().c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(f.Open("", CFile::modeRead));
    EXPECT_FALSE(f.Open(nullptr, CFile::modeRead));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(dir.Names().empty());
}

TEST(FileLayer, ReadWriteSeekAndLength) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 5000; ++i) {
        data += static_cast<char>(i * 7);
    }
    const std::string path = dir.Path("data.bin");
    CFile out;
    ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    for (size_t at = 0; at < data.size(); at += 1024) {  // the library's copy loops
        out.Write(data.data() + at,
                  static_cast<unsigned>(std::min<size_t>(1024, data.size() - at)));
    }
    EXPECT_EQ(out.GetLength(), 5000);  // counts what is still buffered
    out.Close();
    EXPECT_EQ(ReadBytes(path), data);

    CFile in;
    ASSERT_TRUE(in.Open(path.c_str(), CFile::modeRead | CFile::typeBinary));
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
    // A seek before the start raises and does not move.
    in.Seek(4, CFile::begin);
    for (auto [off, from] : {std::pair<int64_t, unsigned>{-1, CFile::begin},
                             {-5, CFile::current},
                             {-5001, CFile::end}}) {
        try {
            in.Seek(off, from);
            ADD_FAILURE() << "no exception for " << off << " from " << from;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::badSeek);
        }
    }
    EXPECT_EQ(in.GetPosition(), 4);
    EXPECT_EQ(in.Seek(-5000, CFile::end), 0);
}

TEST(FileLayer, CreateTruncatesUnlessNoTruncate) {
    TempDir dir;
    const std::string path = dir.Path("t.txt");
    WriteBytes(path, "hello world");
    const unsigned keep = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite;
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), keep));
    EXPECT_EQ(f.GetLength(), 11);
    f.Write("J", 1);
    f.Close();
    EXPECT_EQ(ReadBytes(path), "Jello world");
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Close();
    EXPECT_EQ(ReadBytes(path), "");
    ASSERT_TRUE(f.Open(dir.Path("new.txt").c_str(), keep));  // and creates a missing file
    f.Close();
    EXPECT_TRUE(Exists(dir.Path("new.txt")));
}

TEST(FileLayer, ReadThenWriteWithoutSeekInReadWriteMode) {
    TempDir dir;
    const std::string path = dir.Path("rw.txt");
    WriteBytes(path, "abcdefghij");
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeReadWrite));
    char buf[5];
    ASSERT_EQ(f.Read(buf, 5), 5u);
    f.Write("XY", 2);
    ASSERT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "hij");
    f.Close();
    EXPECT_EQ(ReadBytes(path), "abcdeXYhij");
}

TEST(FileLayer, FailuresRaiseCFileException) {
    TempDir dir;
    WriteBytes(dir.Path("ro.txt"), "data");
    CFile ro;
    ASSERT_TRUE(ro.Open(dir.Path("ro.txt").c_str(), CFile::modeRead));
    EXPECT_THROW(ro.Write("x", 1), CFileException);
    ro.Close();
    EXPECT_THROW(ro.Read(nullptr, 1), CFileException);  // closed
    // A full disk shows up at the latest when the buffered data is written out.
    if (std::filesystem::exists("/dev/full")) {
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

TEST(FileLayer, WriteStringIsNotTranslated) {
    TempDir dir;
    const std::string path = dir.Path("w.txt");
    CStdioFile out;
    ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    out.WriteString("\\[GAMENAME=\x81\x5C\\]\r\n");  // 乗
    out.WriteString(nullptr);
    out.WriteString("\\HE\n");
    out.Close();
    EXPECT_EQ(ReadBytes(path), "\\[GAMENAME=\x81\x5C\\]\r\n\\HE\n");
}

TEST(FileLayer, FileFind) {
    TempDir dir;
    const std::string path = dir.Path("here.gib");
    WriteBytes(path, "x");
    CFileFind finder;
    EXPECT_TRUE(finder.FindFile(path.c_str()));
    EXPECT_EQ(finder.GetFilePath(), path.c_str());
    finder.Close();
    EXPECT_TRUE(finder.GetFilePath().IsEmpty());
    EXPECT_FALSE(finder.FindFile(dir.Path("gone.gib").c_str()));
    EXPECT_FALSE(finder.FindFile(""));
    EXPECT_FALSE(finder.FindFile(nullptr));
}

}  // namespace
