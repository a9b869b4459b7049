// CFile, CStdioFile, CFileFind and the internal file layer; GBK paths name one file everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
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

// ReadString and the loader's line reader cut lines alike, also across the reader's pieces.
TEST(FileLayer, ReadStringAndLineReaderCutLinesAlike) {
    const size_t piece = gibo::kCopyPiece;
    const std::string a(100000, 'a'), b(255, 'b'), c(257, 'c'), x(3 * piece + 5, 'x'),
        y(piece - 1, 'y');
    std::string many;
    Strings manyLines;
    while (many.size() < 2 * piece) {
        many += std::string("a\r\n\0b\rc\n\x81\r\n\n", 12);
        manyLines.insert(manyLines.end(), {"a", std::string("\0b\rc", 4), "\x81", ""});
    }
    const std::pair<std::string, Strings> cases[] = {
        {"a\rb\n", {"a\rb"}},  // a lone CR stays in the line
        {"a\nlast", {"a", "last"}},
        {"a\r", {"a\r"}},
        {"x\r\r\n", {"x\r"}},
        {"\n\r\n", {"", ""}},
        {"", {}},
        {"\\HS\r\n\x81\x5C\r\n\\HE", {"\\HS", "\x81\x5C", "\\HE"}},
        {std::string("a\0b\r\n\0", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
        {a + "\r\n" + b + "\n" + c, {a, b, c}},
        {many, manyLines},
        {x + "\r\nend", {x, "end"}},  // a line over many pieces
        {y + "\r\nz", {y, "z"}},      // CR LF astride a piece's end
        {y + "\rz\n", {y + "\rz"}},   // a lone CR at a piece's end
        {y + "y\n", {y + "y"}},
    };
    TempDir dir;
    const std::string path = dir.Path("lines.txt");
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(Shown(bytes.substr(0, 20)) + " size " + std::to_string(bytes.size()));
        WriteBytes(path, bytes);
        EXPECT_TRUE(Lines(path) == lines);
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
        EXPECT_TRUE(got == lines);
    }
}

// Lines and bytes follow each other across the buffer; a bad seek raises and does not move.
TEST(FileLayer, ReadWriteSeekAndLength) {
    TempDir dir;
    const std::string path = dir.Path("mixed.bin");
    const std::string data = "one\r\n" + std::string(70000, 'x') + "\ntwo\nrest";
    const auto size = static_cast<int64_t>(data.size());
    CFile out;
    ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    out.Write(data.data(), 3000);
    EXPECT_EQ(out.GetLength(), 3000);  // counts what is still buffered
    out.Write(data.data() + 3000, static_cast<unsigned>(size - 3000));
    out.Close();
    ASSERT_EQ(ReadBytes(path), data);

    CStdioFile in;
    ASSERT_TRUE(in.Open(path.c_str(), CFile::modeRead));
    CString line;
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "one");
    EXPECT_EQ(in.GetPosition(), 5);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line.GetLength(), 70000);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "two");
    char buf[100];
    EXPECT_EQ(in.Read(buf, sizeof buf), 4u);
    EXPECT_EQ(std::string(buf, 4), "rest");
    EXPECT_EQ(in.Read(buf, sizeof buf), 0u);
    EXPECT_EQ(in.Seek(-8, CFile::end), size - 8);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(in.Seek(100, CFile::begin), 100);
    EXPECT_EQ(in.Seek(-98, CFile::current), 2);
    EXPECT_EQ(in.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "e\r\n");
    in.Seek(4, CFile::begin);
    for (auto [off, from] : {std::pair<int64_t, unsigned>{-1, CFile::begin},
                             {-5, CFile::current},
                             {-size - 1, CFile::end},
                             {INT64_MAX, CFile::end},
                             {INT64_MAX, CFile::current}}) {
        try {
            in.Seek(off, from);
            ADD_FAILURE() << "no exception for " << off << " from " << from;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::badSeek);
            EXPECT_EQ(e.m_lOsError, 0);  // refused before the system is asked
        }
    }
    EXPECT_EQ(in.GetPosition(), 4);
    // The largest position is countable: the system, not the overflow guard, may refuse it.
    try {
        EXPECT_EQ(in.Seek(INT64_MAX, CFile::begin), INT64_MAX);
    } catch (const CFileException& e) {
        EXPECT_NE(e.m_lOsError, 0);
    }
    EXPECT_EQ(in.Seek(-size, CFile::end), 0);
}

TEST(FileLayer, OpenFailsWithoutThrowingLaterFailuresRaise) {
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
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(dir.Path("missing").c_str()));
    EXPECT_FALSE(finder.FindFile(""));
    EXPECT_FALSE(finder.FindFile(nullptr));
    EXPECT_TRUE(dir.Names().empty());
    // Once open, failures raise.
    WriteBytes(dir.Path("ro.txt"), "data");
    ASSERT_TRUE(f.Open(dir.Path("ro.txt").c_str(), CFile::modeRead));
    EXPECT_THROW(f.Write("x", 1), CFileException);
    f.Close();
    EXPECT_THROW(f.Read(nullptr, 1), CFileException);  // closed
    // A full disk shows up at the latest when the buffered data is written out.
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(f.Open("/dev/full", CFile::modeWrite));
        try {
            f.Write("abc", 3);
            f.Close();
            ADD_FAILURE() << "no exception on a full device";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
        }
    }
}

TEST(FileLayer, OpenModesAndUntranslatedWrites) {
    TempDir dir;
    const std::string path = dir.Path("t.txt");
    const std::string text = "\\[GAMENAME=\x81\x5C\\]\r\nunix\nlone\rcr\r\n\r\nlast";  // 乗
    WriteBytes(path, text + " and an older tail");
    CStdioFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    f.WriteString("\\[GAMENAME=\x81\x5C\\]\r\n");
    f.WriteString(nullptr);
    f.WriteString("unix\nlone\rcr\r\n\r\nlast");
    f.Close();
    EXPECT_EQ(ReadBytes(path), text);  // truncated, and nothing translated
    const unsigned keep = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite;
    ASSERT_TRUE(f.Open(path.c_str(), keep));
    EXPECT_EQ(f.GetLength(), static_cast<int64_t>(text.size()));
    f.Write("J", 1);
    f.Close();
    ASSERT_TRUE(f.Open(dir.Path("new.txt").c_str(), keep));  // and creates a missing file
    f.Close();
    EXPECT_TRUE(Exists(dir.Path("new.txt")));
    // A write after a read lands where the read stopped, not after the read-ahead.
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeReadWrite));
    char buf[5];
    ASSERT_EQ(f.Read(buf, 5), 5u);
    f.Write("XY", 2);
    ASSERT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), text.substr(7, 3));
    f.Close();
    EXPECT_EQ(ReadBytes(path), "J" + text.substr(1, 4) + "XY" + text.substr(7));
}

TEST(FileLayer, GbkPathBytesNameTheSameFile) {
    // 黑白; 乗, whose second byte 0x5C must not be taken for a path separator; 这.
    for (const std::string name : {"\xBA\xDA\xB0\xD7.gib",
                                   "\x81\x5C"
                                   "a.gib",
                                   "\xD5\xE2 x.lbk"}) {
        SCOPED_TRACE(Shown(name));
        TempDir dir;
        const std::string path = dir.Path(name);
        CFile out;
        ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        out.Write(name.data(), static_cast<unsigned>(name.size()));
        out.Close();
        EXPECT_EQ(dir.Names(), std::set<std::string>{name});
        EXPECT_EQ(ReadBytes(path), name);
        CFileFind find;
        EXPECT_TRUE(find.FindFile(path.c_str()));
        EXPECT_EQ(find.GetFilePath(), path.c_str());
    }
}

#ifdef _WIN32
TEST(FileLayer, PathThatIsNotGbkIsRefused) {
    // 0xFF begins no GBK character; a best-fit conversion could name some other file.
    TempDir dir;
    const std::string path = dir.Dir() + "\\\xFF.gib";
    CFile f;
    EXPECT_FALSE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CFileFind find;
    EXPECT_FALSE(find.FindFile(path.c_str()));
    EXPECT_TRUE(dir.Names().empty());
}
#endif

}  // namespace
