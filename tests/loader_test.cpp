// Taking a record file apart: header text, side files, error codes and the files left behind.

#include <regex>
#include <tuple>

#include "Nobody.h"
#include "TestSupport.h"

namespace {

struct LayoutCase {
    std::string record, header, body;
    int type;
};

TEST(Loader, SplitsHeaderAndBodyByteForByte) {
    // Text before the header, and between header and body, is read in pieces of 64 KiB.
    const std::string pad(65535, 'x'), gap(65535 - 8, 'x');  // gap: after "\HS\HE" CR LF
    // "\xB1\x5C": a trail byte 0x5C next to letters is no marker, opener or closer.
    const LayoutCase cases[] = {
        {"\\HS\\[TYPE = 3\\]\\HE\r\n\\GS\r\nSTO 1\r\n\\GE", "\\[TYPE = 3\\]\r\n", "STO 1\r\n", 3},
        {"\\HS\\HE\r\n\\GS\r\nSTO a STO b STO c\\GE\r\n", "", "STO a \r\nSTO b \r\nSTO c\r\n", 0},
        {"\\HS\r\n\\HE\r\n\\GS\r\nx STO a STO b\\GE", "", "x STO a STO b\r\n", 0},
        {"\\HS\r\n\\HE\r\n\\GS\r\nSTO a GE b\\GE", "", "STO a GE b\r\n", 0},
        {"\\HS\r\n\\HE\r\n\\GS STO a\\GE\r\n", "", " STO a\r\n", 0},
        {"\\HS\r\n\\HE\r\n\\GS\r\nSTO a\r\n  STO b STO c  \r\nSTO d\\GE trailing\r\n", "",
         "STO a\r\nSTO b STO c\r\nSTO d\r\n", 0},
        // Header lines keep their blanks and empty lines; body lines lose blanks, not tabs or CR.
        {"junk\r\nx\\HS  \\[A=1\\] \r\n\r\n \\[TYPE=258\\]\\HE junk\r\n"
         "\\GS\r\n  STO\t1 \r\nSTO a\rb\r\n\\GE",
         "  \\[A=1\\] \r\n\r\n \\[TYPE=258\\]\r\n", "STO\t1\r\nSTO a\rb\r\n", 2},
        {"\xB1\x5CHS\r\n\\HS\\[N=\xB1\x5C\\]\xB1\x5CHE\\HE\r\n"
         "\xB1\x5CGS\r\n\\GS\r\nSTO \xB1\x5CGE\r\n\\GE",
         "\\[N=\xB1\x5C\\]\xB1\x5CHE\r\n", "STO \xB1\x5CGE\r\n", 0},
        // A blank is never a second byte: after a lead byte it is trimmed like any other.
        {"\\HS\\HE\r\n\\GS\r\n  STO \xB1 \r\n\xB1\x5C\xB1 \r\n\\GE", "",
         "STO \xB1\r\n\xB1\x5C\xB1\r\n", 0},
        {"\\HS\\[TYPE=1\\]\\HE\r\n\\GS\r\n\\GE\r\n\x01\x02", "\\[TYPE=1\\]\r\n", "", 1},
        // Piece ends: a marker, a trail-byte backslash; the rest of \GS lines loses end blanks.
        {pad + "\\HS\\[TYPE=2\\]\\HE\r\n\\GS\r\n\\GE\r\n", "\\[TYPE=2\\]\r\n", "", 2},
        {pad + "\xB1\\HS\\[A=1\\]\r\n\\HS\\[TYPE=5\\]\\HE\r\n\\GS\r\n\\GE", "\\[TYPE=5\\]\r\n", "",
         5},
        {"\\HS\\HE\r\n" + gap + "\\GS STO 1 \r\n\\GE", "", " STO 1\r\n", 0},
        {"\\HS\\HE\r\n" + gap + "\xB1\\GS x\r\n\\GS  STO 2\\GE", "", "  STO 2\r\n", 0},
        // Lines over a piece: blanks only, which leave an empty line, and the rest of \GS.
        {"\\HS\\HE\r\n\\GS\r\n" + std::string(70000, ' ') + "\r\nSTO 1\\GE", "", "\r\nSTO 1\r\n",
         0},
        {"\\HS\\HE\r\n\\GS" + pad + "\r\n\\GE", "", pad + "\r\n", 0},
    };
    TempDir dir;
    const std::regex kCrLf("\r\n");
    for (const auto& c : cases) {
        // LF-only line ends must give the same result.
        for (const std::string& record : {c.record, std::regex_replace(c.record, kCrLf, "\n")}) {
            SCOPED_TRACE(Shown(record.substr(0, 200)));
            WriteBytes(dir.Path("rec.gib"), record);
            const Loaded r(dir.Path("rec.gib"));
            ASSERT_EQ(r.result, 1) << " error " << std::hex << r.error;
            EXPECT_EQ(Shown(r.header), Shown(c.header));
            EXPECT_EQ(r.type, c.type);
            EXPECT_EQ(Shown(ReadBytes(dir.Path("rec.lbk"))), Shown(c.body));
            EXPECT_EQ(r.audio, 0);
            EXPECT_TRUE(r.audioPath.IsEmpty());
            EXPECT_EQ(dir.Names(), (std::set<std::string>{"rec.gib", "rec.lbk"}));
        }
    }
}

// The body file as whole lines give it: each line trimmed, cut at the first "\GE" at a character
// start; a "STO" line holding it split before every further "STO", then before the next "GE".
std::string WholeLineBody(const std::string& body) {
    std::string out;
    for (size_t at = 0, lf = 0; lf != std::string::npos; at = lf + 1) {
        lf = body.find('\n', at);
        std::string line = body.substr(at, lf - at);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<size_t> starts;  // of characters, and the end
        for (size_t i = 0; i < line.size(); ++i) {
            starts.push_back(i);
            const auto second = static_cast<unsigned char>(i + 1 < line.size() ? line[i + 1] : 0);
            i += static_cast<unsigned char>(line[i] - 0x81) < 0x7E && second >= 0x40 &&
                 second != 0x7F && second != 0xFF;
        }
        starts.push_back(line.size());
        const size_t first = line.find_first_not_of(' ');
        const size_t end = line.find_last_not_of(' ') + 1;
        auto at_start = [&](const char* text, size_t from) {
            for (auto s = std::lower_bound(starts.begin(), starts.end(), from);
                 s != starts.end() && *s < end; ++s) {
                if (line.compare(*s, std::strlen(text), text) == 0) {
                    return *s;
                }
            }
            return std::string::npos;
        };
        const size_t ge = first == std::string::npos ? first : at_start("\\GE", first);
        if (ge == std::string::npos) {
            out += (first == std::string::npos ? "" : line.substr(first, end - first)) + "\r\n";
            continue;
        }
        size_t from = first;
        auto cut = [&](size_t to) {
            out += line.substr(from, to - from) + "\r\n";
            from = to;
        };
        for (size_t s = line.compare(first, 3, "STO") == 0 ? at_start("STO", first + 1) : ge;
             s < ge; s = at_start("STO", s + 1)) {
            cut(s);
        }
        if (from > first && at_start("GE", from) < ge) {
            cut(at_start("GE", from));
        }
        if (ge > first) {
            cut(ge);
        }
        break;
    }
    return out;
}

// Lines over a 64 KiB piece are written as they come and must give what the whole line gives.
TEST(Loader, LongBodyLinesGiveWhatWholeLinesGive) {
    TempDir dir;
    std::string stos;
    for (int i = 0; i < 20000; ++i) {
        stos += "a STO ";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"  ", "STO a   \r\n  STO b\\GE\r\n"},
        {"STO ", "STO b GE c\\GE"},
        {"STO ", "\xB1\\GE STO c GE\\GE"},
        {"STO a ", "  \\GE  "},
        {"x", "\r\r\nSTO\\G\\\\GE"},
        {"STO", "\xB1 STO  \r\\GE  \r"},
        {"STO ", "STOST\\GE"},
        {"STO", "\xB1 \xB1\x7F\\GE"},  // bytes that are no second bytes after a lead byte
        {"STO", stos + "GE z\\GE"},
        {"x", std::string(40, ' ') + "y\\GE"},  // more held blanks than are written at once
    };
    const std::string start = "\\HS\\HE\r\n\\GS\r\n";
    const size_t boundary = 65536 - start.size();
    for (const auto& c : cases) {
        for (const char fill : {'x', '\xB1'}) {
            for (size_t at : {boundary - 3, boundary - 2, boundary - 1, boundary, boundary + 1,
                              2 * boundary + 65536}) {
                const std::string body =
                    c.first + std::string(at - c.first.size(), fill) + c.second;
                WriteBytes(dir.Path("rec.gib"), start + body);
                ASSERT_EQ(Loaded(dir.Path("rec.gib")).result, 1) << Shown(c.second) << at;
                EXPECT_TRUE(ReadBytes(dir.Path("rec.lbk")) == WholeLineBody(body))
                    << Shown(c.second) << " " << at << " " << int(fill);
            }
        }
    }
}

// Audio as long as the whole file reaches its start, not before it, so it is taken.
TEST(Loader, AudioAsLongAsTheWholeFileIsTaken) {
    TempDir dir;
    std::string whole = "\\HS\\[SZAUDIO=NN\\]\\HE\r\n\\GS\r\n\\GE\r\n";
    whole.replace(whole.find("NN"), 2, std::to_string(whole.size()));
    WriteBytes(dir.Path("w.gib"), whole);
    EXPECT_EQ(Loaded(dir.Path("w.gib")).result, 1);
    EXPECT_EQ(ReadBytes(dir.Path("w.lao")), whole);
}

#ifndef _WIN32
// Audio of 2 GiB - 1 passes the size checks (its side file cannot be made here); 2 GiB does not.
TEST(Loader, AudioUpToTwoGibLessOneIsTaken) {
    const LargeFiles large;
    for (const long long size : {2147483647LL, 2147483648LL}) {
        TempDir dir;
        const std::string path = dir.Path("rec.gib");
        WriteBytes(path, "\\HS\\[SZAUDIO=" + std::to_string(size) + "\\]\\HE\r\n\\GS\r\n\\GE\r\n");
        std::filesystem::resize_file(path, 3LL << 30);
        std::filesystem::create_directory(dir.Path("rec.lao"));
        EXPECT_EQ(Loaded(path).error,
                  size < 2147483648LL ? GIBO_ERR_AUDIO_CREATE : GIBO_ERR_AUDIO_REOPEN);
    }
}
#endif

const char kAudio5[] = "\\HS\\[TYPE=4\\]\\[SZAUDIO = 5\\]\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n12345";

TEST(Loader, FailuresReportTheirCodeAndLeaveNoPartialSideFiles) {
    const std::set<std::string> rec{"rec.gib"}, lbk{"rec.gib", "rec.lbk"},
        lao{"rec.gib", "rec.lao"};
    struct {
        const char* record;  // null: no file
        unsigned long error;
        int type;                    // byType afterwards
        std::set<std::string> left;  // everything in the directory afterwards
        char prepare;                // made beside the record at `name`: directory, hard or
        const char* name;            // symbolic link to the record
    } cases[] = {
        {nullptr, GIBO_ERR_OPEN, 255, {}, 0, ""},
        {nullptr, GIBO_ERR_OPEN, 255, rec, 'd', "rec.gib"},
        {"", GIBO_ERR_NO_HEADER, 255, rec, 0, ""},
        {"\\HE\r\n\\GS\r\n\\GE\r\n", GIBO_ERR_NO_HEADER, 255, rec, 0, ""},
        {"\\HS\r\n\\[A=1\\]\r\n", GIBO_ERR_NO_HEADER, 255, rec, 0, ""},
        {"\\HS\\HE\r\nSTO 1\r\n", GIBO_ERR_NO_BODY, 255, rec, 0, ""},
        {"\\HS\\HE\r\n\\GS\r\nSTO 1\r\n", GIBO_ERR_NO_BODY, 255, rec, 0, ""},
        {"\\HS\\HE\\GS\r\nSTO 1\\GE\r\n", GIBO_ERR_NO_BODY, 255, rec, 0, ""},
        // Audio sizes below zero, beyond the start, or wrapping to 5 under atoi.
        {"\\HS\\[TYPE=4\\]\\[SZAUDIO=-1\\]\\HE\r\n\\GS\r\n\\GE\r\n", GIBO_ERR_AUDIO_REOPEN, 4, rec,
         0, ""},
        {"\\HS\\[TYPE=4\\]\\[SZAUDIO=999\\]\\HE\r\n\\GS\r\n\\GE\r\n", GIBO_ERR_AUDIO_REOPEN, 4, rec,
         0, ""},
        {"\\HS\\[TYPE=4\\]\\[SZAUDIO=4294967301\\]\\HE\r\n\\GS\r\n\\GE\r\n", GIBO_ERR_AUDIO_REOPEN,
         4, rec, 0, ""},
        {kAudio5, GIBO_ERR_BODY_CREATE, 255, lbk, 'd', "rec.lbk"},
        {kAudio5, GIBO_ERR_AUDIO_CREATE, 4, lao, 'd', "rec.lao"},
#ifndef _WIN32
        // A side file that is the record under another name is refused before anything is written.
        {kAudio5, GIBO_ERR_BODY_CREATE, 255, lbk, 'l', "rec.lbk"},
        {kAudio5, GIBO_ERR_AUDIO_CREATE, 255, lao, 's', "rec.lao"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.record ? c.record : "(none)") + " " + c.name);
        TempDir dir;
        const std::string path = dir.Path("rec.gib");
        if (c.record) {
            WriteBytes(path, c.record);
        }
        if (c.prepare == 'd') {
            std::filesystem::create_directory(dir.Path(c.name));
#ifndef _WIN32
        } else if (c.prepare == 'l') {
            ASSERT_EQ(::link(path.c_str(), dir.Path(c.name).c_str()), 0);
        } else if (c.prepare == 's') {
            ASSERT_EQ(::symlink("rec.gib", dir.Path(c.name).c_str()), 0);
#endif
        }
        const Loaded r(path);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.audio, 0);
        EXPECT_EQ(r.bodyPath, dir.Path("rec.lbk").c_str());
        EXPECT_EQ(r.audioPath, dir.Path("rec.lao").c_str());
        EXPECT_EQ(dir.Names(), c.left);
        if (c.record) {
            EXPECT_EQ(ReadBytes(path), c.record);
        }
    }
}

#ifndef _WIN32
// Links planted at side-file names are replaced, never written through, even by a failed load.
TEST(Loader, LinksAtSideFileNamesAreReplacedNotWrittenThrough) {
    const char* cases[][3] = {{kAudio5, "rec.lbk", "victim"},
                              {kAudio5, "rec.lao", "victim"},
                              {kAudio5, "rec.lao", "rec.lbk"},
                              {kAudio5, "rec.lbk", "gone"},
                              {"\\HS\\HE\r\n\\GS\r\nSTO 1\r\n", "rec.lbk", "victim"}};
    for (const auto& [record, link, to] : cases) {
        SCOPED_TRACE(std::string(link) + " -> " + to);
        TempDir dir;
        WriteBytes(dir.Path("rec.gib"), record);
        WriteBytes(dir.Path("victim"), "VICTIM");
        ASSERT_EQ(::symlink(to, dir.Path(link).c_str()), 0);
        const int result = Loaded(dir.Path("rec.gib")).result;
        EXPECT_EQ(result, record == kAudio5 ? 1 : 0);
        EXPECT_EQ(ReadBytes(dir.Path("victim")), "VICTIM");
        EXPECT_FALSE(Exists(dir.Path("gone")));
        for (const char* side : {"rec.lbk", "rec.lao"}) {
            EXPECT_FALSE(std::filesystem::is_symlink(dir.Path(side))) << side;
        }
        if (result) {
            EXPECT_EQ(ReadBytes(dir.Path("rec.lbk")), "STO 1\r\n");
            EXPECT_EQ(ReadBytes(dir.Path("rec.lao")), "12345");
        }
    }
}

// In a directory the caller may not change, only a side file that is the caller's own regular
// file with no other name is written (in place); others, links and missing ones are refused.
TEST(Loader, SideFileInADirectoryTheCallerMayNotChangeIsWrittenOnlyWhenItsOwn) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make the other user";
    }
    for (const char kind : {'o', 'r', 'l', 'h', '-'}) {
        SCOPED_TRACE(kind);
        TempDir dir;
        ASSERT_EQ(::chmod(dir.Dir().c_str(), 0755), 0);
        WriteBytes(dir.Path("rec.gib"), "\\HS\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n");
        const std::string side = dir.Path("rec.lbk"), mine = dir.Path("mine");
        const std::string old = "AN OLD BODY, LONGER THAN THE NEW ONE";
        const std::string held = kind == 'l' || kind == 'h' ? mine : side;
        if (kind != '-') {
            WriteBytes(held, old);
            ASSERT_EQ(::chown(held.c_str(), kind == 'r' ? 0 : 65534, 65534), 0);
            ASSERT_EQ(::chmod(held.c_str(), 0666), 0);
        }
        if (kind == 'l') {
            ASSERT_EQ(::symlink("mine", side.c_str()), 0);
        } else if (kind == 'h') {
            ASSERT_EQ(::link(mine.c_str(), side.c_str()), 0);
        }
        const int status = AsNobody(65534, dir.Dir(), [&] {
            const Loaded r(dir.Path("rec.gib"));
            return kind == 'o' ? r.result == 1 : r.error == GIBO_ERR_BODY_CREATE;
        });
        if (status == 2) {
            GTEST_SKIP() << "cannot become an unprivileged user who reaches the test directory";
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Exists(side) ? ReadBytes(side) : "none", kind == 'o'   ? "STO 1\r\n"
                                                           : kind == '-' ? "none"
                                                                         : old);
    }
}
#endif

#ifdef _WIN32
// Windows cannot remove a side file that another program holds open: the load empties it.
TEST(Loader, SideFileHeldOpenIsEmptiedInstead) {
    TempDir dir;
    WriteBytes(dir.Path("rec.gib"), kAudio5);
    WriteBytes(dir.Path("rec.lbk"), "AN OLD BODY, LONGER THAN THE NEW ONE");
    CFile held;
    ASSERT_TRUE(held.Open(dir.Path("rec.lbk").c_str(), CFile::modeRead));
    EXPECT_EQ(Loaded(dir.Path("rec.gib")).result, 1);
    held.Close();
    EXPECT_EQ(ReadBytes(dir.Path("rec.lbk")), "STO 1\r\n");
}
#endif

TEST(Loader, RecordNamedLikeItsSideFileIsRefusedUntouched) {
    TempDir dir;
    for (const auto& [name, error] : {std::make_pair("x.lbk", GIBO_ERR_BODY_CREATE),
                                      std::make_pair("y.lao", GIBO_ERR_AUDIO_CREATE)}) {
        WriteBytes(dir.Path(name), kAudio5);
        EXPECT_EQ(Loaded(dir.Path(name)).error, error);
        EXPECT_EQ(ReadBytes(dir.Path(name)), kAudio5);
    }
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"x.lbk", "y.lao"}));
    const std::string asAudio = dir.Path("y.lao");

    // Without audio nothing is written to y.lao, so it loads.
    const std::string silent = "\\HS\\[TYPE=1\\]\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n";
    WriteBytes(asAudio, silent);
    EXPECT_EQ(Loaded(asAudio).result, 1);
    EXPECT_EQ(ReadBytes(asAudio), silent);
    EXPECT_EQ(ReadBytes(dir.Path("y.lbk")), "STO 1\r\n");
}

TEST(Loader, LoadStreamTakesTenBytesOrMoreUnchanged) {
    const std::tuple<std::string, int, int> cases[] = {
        {"\\[TYPE=9\\", 0, 255}, {"\\[TYPE=9\\]", 1, 9}, {"\\HS\r\n\\[A=1\\]\r\n", 1, 0}};
    for (const auto& [header, result, type] : cases) {
        CGiboFile f;
        unsigned char got = 0;
        f.m_strHeader = "old";
        EXPECT_EQ(f.LoadStream(header.c_str(), got), result);
        EXPECT_EQ(f.GetError() == GIBO_ERR_NO_HEADER, result == 0);
        EXPECT_EQ(got, type);
        EXPECT_EQ(f.m_strHeader.str(), result ? header : "");
    }
}

}  // namespace
