// CFile, CStdioFile, CFileFind and the internal file layer; GBK paths name one file everywhere.

#include <cstdint>
#include <memory>

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
    WriteBytes(path, data);

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
    // A full disk: Write raises at once, collected lines at Close; Abort, the destructor and a
    // new Open never raise, and Open says it failed.
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_TRUE(f.Open("/dev/full", CFile::modeWrite));
        const auto cause = [](auto&& write) {
            try {
                write();
            } catch (const CFileException& e) {
                return e.m_cause;
            }
            return 0;
        };
        EXPECT_EQ(cause([&] { f.Write("abc", 3); }), CFileException::diskFull);
        CStdioFile s;
        for (int step = 0; step < 4; ++step) {
            ASSERT_TRUE(s.Open("/dev/full", CFile::modeWrite));
            s.WriteString("abc");
            if (step == 0) {
                EXPECT_EQ(cause([&] { s.Close(); }), CFileException::diskFull);
            } else if (step == 1) {
                EXPECT_EQ(cause([&] { s.Abort(); }), 0);
            } else if (step == 2) {
                EXPECT_FALSE(s.Open(dir.Path("new").c_str(), CFile::modeCreate | CFile::modeWrite));
                EXPECT_FALSE(s.IsOpen());
                EXPECT_FALSE(Exists(dir.Path("new")));
            }
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
    // A write after a read lands where the read stopped, not after the read-ahead; collected
    // lines go out before what comes after them.
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeReadWrite));
    char buf[5];
    ASSERT_EQ(f.Read(buf, 5), 5u);
    f.Write("XY", 2);
    ASSERT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), text.substr(7, 3));
    f.WriteString("Q");
    EXPECT_EQ(f.GetPosition(), 11);
    EXPECT_EQ(f.GetLength(), static_cast<int64_t>(text.size()));
    ASSERT_EQ(f.Seek(-1, CFile::end), static_cast<int64_t>(text.size()) - 1);
    f.WriteString("!");
    EXPECT_EQ(f.Read(buf, 1), 0u);
    f.Abort();
    EXPECT_EQ(ReadBytes(path), "J" + text.substr(1, 4) + "XY" + text.substr(7, 3) + "Q" +
                                   text.substr(11, text.size() - 12) + "!");
}

// 棋谱 in UTF-8, GBK, Big5 and Shift-JIS (棋), 기보 in CP949, and 乗, whose second byte 0x5C is
// no separator; all also valid GBK, so that the Windows build opens them too.
const char* const kNames[] = {"\xE6\xA3\x8B\xE8\xB0\xB1.gib", "\xC6\xE5\xC6\xD7.lbk",
                              "\xB4\xD1\xC3\xD0.gib",         "\x8A\xFB x.gib",
                              "\xB1\xE2\xBA\xB8.gib",         "\x81\x5C\x61.gib"};

// Text of n bytes with GBK pairs (棋), never a NUL: what WriteString can write too.
std::string Pattern(size_t n) {
    return Repeat("\xC6\xE5 STO 12\r\n", n / 11 + 1).substr(0, n);
}

enum class Ending { kClose, kDestructor, kAbort, kReopen };

// Whatever a host wrote is in the file however the object lets it go, at sizes around the
// internal buffer's 64 KiB; what CFile::Write wrote another reader sees at once.
TEST(FileObjects, KeepWhatWasWrittenHoweverTheyGo) {
    TempDir dir;
    size_t k = 0;
    for (const bool stdio : {false, true}) {
        for (const size_t size : {1, 100, 4096, 65535, 65536, 70000}) {
            for (const Ending ending :
                 {Ending::kClose, Ending::kDestructor, Ending::kAbort, Ending::kReopen}) {
                const std::string path = dir.Path(kNames[k++ % std::size(kNames)]);
                SCOPED_TRACE(testing::Message() << "stdio " << stdio << " size " << size
                                                << " ending " << static_cast<int>(ending));
                const std::string data = Pattern(size);
                {
                    std::unique_ptr<CFile> f(stdio ? new CStdioFile : new CFile);
                    ASSERT_TRUE(f->Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
                    for (size_t at = 0; at < size; at += 3000) {
                        const std::string piece = data.substr(at, 3000);
                        if (stdio) {
                            static_cast<CStdioFile&>(*f).WriteString(piece.c_str());
                        } else {
                            f->Write(piece.data(), static_cast<unsigned>(piece.size()));
                            EXPECT_EQ(std::filesystem::file_size(FsPath(path)), at + piece.size());
                        }
                    }
                    if (ending == Ending::kClose) {
                        f->Close();
                    } else if (ending == Ending::kAbort) {
                        f->Abort();
                    } else if (ending == Ending::kReopen) {
                        ASSERT_TRUE(f->Open(dir.Path("other").c_str(),
                                            CFile::modeCreate | CFile::modeWrite));
                    }
                }
                EXPECT_TRUE(ReadBytes(path) == data);
            }
        }
    }
    // Each name is the bytes given, on disk and as the finder gives it back.
    std::set<std::string> names(std::begin(kNames), std::end(kNames));
    names.insert("other");
    EXPECT_EQ(dir.Names(), names);
    for (const char* name : kNames) {
        CFileFind find;
        EXPECT_TRUE(find.FindFile(dir.Path(name).c_str())) << Shown(name);
        EXPECT_EQ(find.GetFilePath(), dir.Path(name).c_str());
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
