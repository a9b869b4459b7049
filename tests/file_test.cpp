// CFile, CStdioFile and CFileFind: line reading, opening, positioning and failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "GiboFileIO.h"
#include "TestSupport.h"
#include "framework/FileSystem.h"
#include "framework/LineReader.h"
#include "framework/SysFile.h"

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
        {std::string("a\0b\r\n\0", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
        {a + "\r\n" + b + "\n" + c, {a, b, c}},
    };
    TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(bytes.substr(0, 20));
        WriteBytes(dir.Path("lines.txt"), bytes);
        EXPECT_EQ(Lines(dir.Path("lines.txt")), lines);
    }
}

// Lines and bytes read from one file follow each other exactly, across the stream's buffer.
TEST(FileLayer, ReadStringThenReadAndSeek) {
    TempDir dir;
    const std::string path = dir.Path("mixed.bin");
    WriteBytes(path, "one\r\n" + std::string(70000, 'x') + "\ntwo\nrest");
    CStdioFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    CString line;
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "one");
    EXPECT_EQ(f.GetPosition(), 5);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line.GetLength(), 70000);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "two");
    char buf[8];
    ASSERT_EQ(f.Read(buf, sizeof buf), 4u);
    EXPECT_EQ(std::string(buf, 4), "rest");
    f.Seek(-8, CFile::end);
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "two");
    f.SeekToBegin();
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, "one");
}

// The loader's line reader cuts lines as ReadString does, also where a line, or its CR LF,
// runs over the end of a piece the reader took from the file.
TEST(FileLayer, LineReaderCutsLinesAsReadStringDoes) {
    TempDir dir;
    const std::string path = dir.Path("lines.bin");
    const size_t piece = gibo::kCopyPiece;
    std::string shortLines;
    while (shortLines.size() < 2 * piece) {
        shortLines += std::string("a\r\n\0b\rc\n\x81\r\n\n\x81", 13);
    }
    for (const std::string& text : {
             shortLines,
             std::string(3 * piece + 5, 'x') + "\r\nend",  // a line over many pieces
             std::string(piece - 1, 'y') + "\r\nz",        // CR LF astride a piece's end
             std::string(piece - 1, 'y') + "\rz\n",        // a lone CR at a piece's end
             std::string(piece, 'y') + "\n",
             std::string(),
         }) {
        WriteBytes(path, text);
        gibo::Fd file;
        ASSERT_EQ(gibo::OpenFile(path.c_str(), gibo::kRead, file), 0);
        gibo::LineReader reader(file.Get());
        Strings got;
        const char* p = nullptr;
        size_t n = 0;
        while (reader.Next(p, n)) {
            got.emplace_back(p, n);
        }
        EXPECT_FALSE(reader.Next(p, n));
        ASSERT_EQ(got, Lines(path)) << text.size();
    }
}

// The copy of the rest of a file starts at the input's position and lands at the output's.
TEST(FileLayer, CopyRestKeepsBothPositions) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 200000; ++i) {
        data += static_cast<char>(i * 31 + i / 7);
    }
    const std::string from = dir.Path("from.bin");
    WriteBytes(from, data);
    const std::string to = dir.Path("to.bin");
    for (const size_t skip : {size_t{0}, size_t{10}, data.size()}) {
        SCOPED_TRACE(skip);
        gibo::Fd in, out;
        ASSERT_EQ(gibo::OpenFile(from.c_str(), gibo::kRead, in), 0);
        ASSERT_EQ(gibo::OpenFile(to.c_str(), gibo::kWrite | gibo::kCreate | gibo::kTruncate, out),
                  0);
        int64_t at = 0;
        ASSERT_EQ(gibo::SeekFd(in.Get(), static_cast<int64_t>(skip), SEEK_SET, at), 0);
        ASSERT_EQ(gibo::WriteAll(out.Get(), "head", 4), 0);
        ASSERT_EQ(gibo::CopyRest(in.Get(), out.Get()), 0);
        ASSERT_EQ(gibo::WriteAll(out.Get(), "tail", 4), 0);
        ASSERT_EQ(out.Close(), 0);
        EXPECT_EQ(ReadBytes(to), "head" + data.substr(skip) + "tail");
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
    // A seek before the start, or beyond what a position holds, raises and does not move.
    in.Seek(4, CFile::begin);
    for (auto [off, from] : {std::pair<int64_t, unsigned>{-1, CFile::begin},
                             {-5, CFile::current},
                             {-5001, CFile::end},
                             {INT64_MAX, CFile::end},
                             {INT64_MAX, CFile::current}}) {
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
    out.WriteString("unix\nlone\rcr\r\n\r\nlast");
    out.Close();
    EXPECT_EQ(ReadBytes(path), "\\[GAMENAME=\x81\x5C\\]\r\nunix\nlone\rcr\r\n\r\nlast");
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
