// The record scanner: what show and index read without side files agrees with what LoadFile
// writes, and the markers it reports lie where they are in the file.

#include <tuple>

#include "TestSupport.h"
#include "framework/FileSystem.h"
#include "reading/RecordScanner.h"

namespace {

struct Scanned {
    unsigned long error = 0;
    std::string header;
    int type = -1;
    gibo::RecordSizes sizes;
};

Scanned Scan(const std::string& path) {
    Scanned s;
    gibo::Fd in;
    EXPECT_EQ(gibo::OpenFile(path.c_str(), gibo::kRead, in), 0);
    CGiboFile record;
    unsigned char type = 0;
    s.error = gibo::ScanRecord(in.Get(), path.c_str(), record, type, s.sizes).dwCode;
    s.header = record.m_strHeader.str();
    s.type = type;
    return s;
}

// What LoadFile leaves, counted from its side files: body lines end with CR LF.
Scanned Load(const std::string& path) {
    const Loaded r(path);
    Scanned s{r.result ? 0 : r.error, r.header, r.type, {}};
    const std::string text = r.result ? ReadBytes(r.bodyPath.str()) : "";
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        ++s.sizes.nBodyLines;
        s.sizes.nBodyRecords += text.compare(at, 3, "STO") == 0 ? 1 : 0;
    }
    s.sizes.nAudio = r.result && r.audio ? ReadBytes(r.audioPath.str()).size() : 0;
    return s;
}

auto Compared(const Scanned& s) {
    return std::make_tuple(s.error, Shown(s.header), s.type, s.sizes.nBodyLines,
                           s.sizes.nBodyRecords, s.sizes.nAudio);
}

void ExpectAgree(const std::string& path, const std::string& what) {
    EXPECT_EQ(Compared(Scan(path)), Compared(Load(path))) << what;
}

// Random records of the pieces the reading turns on, read by both: verdict, header, type and
// sizes agree.
TEST(Scanner, CountsWhatLoadFileWrites) {
    const std::vector<std::string> tokens = Split(
        "\\HS|\\HE|\\GS|\\GE|STO |STO|GE| |  |\r|\n|\r\n|\xB1|\\|G|x|\xB1\\GE|\\[TYPE=7\\]"
        "|\\[SZAUDIO=4\\]|\\[SZAUDIO=-1\\]|\\[SZAUDIO=99999\\]",
        '|');
    const int n = static_cast<int>(tokens.size());
    TempDir dir;
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int i = 0; i < count; ++i) {
            const int k = std::uniform_int_distribution<int>(-1, n - 1)(rng);
            text += k < 0 ? std::string(round % 10 == 0 ? 70000 : 30, round % 3 ? 'x' : '\xB1')
                          : tokens[k];
        }
        const std::string path = dir.Path("r" + std::to_string(round % 7) + ".gib");
        WriteBytes(path, text);
        ExpectAgree(path, Shown(text.size() > 400 ? text.substr(0, 400) : text));
    }
}

// Lines and STO records with the \GE line split, and how much of the audio lies before the end
// of the \GE line. Lines and records of -1 are only compared with LoadFile.
TEST(Scanner, CountsSplitLinesAndAudioReachingIntoTheBody) {
    const std::string pad(70000, ' '), x(70000, 'x'), start = "\\HS\\HE\r\n\\GS";
    const std::string body = "\\GS\r\nSTO 1\r\n\\GE\r\n";  // the \GE line ends 18 bytes in
    const struct {
        std::string text;
        long long lines, records, audio, inBody;
    } cases[] = {
        {start + "STO a STO b GE c\\GE\r\n", 3, 2, 0, 0},
        {start + "STO a STO b\\GE\n", 2, 2, 0, 0},
        {start + "x STO b GE c\\GE\r\n", 1, 0, 0, 0},
        {start + "STO a STO b GE c\\GE", 3, 2, 0, 0},  // no line end
        {start + " STO 1\r\n\\GE\r\n", 1, 0, 0, 0},    // the rest of the \GS line keeps its blanks
        {start + "\r\nSTO a STO b GE c" + pad + "\\GE\r\n", 3, 2, 0, 0},
        {start + "\r\n \r\n\\GE\r\n", 1, 0, 0, 0},
        {"\\HS\\[SZAUDIO=4\\]\\HE\r\n" + body + "1234", -1, -1, 4, 0},
        {"\\HS\\[SZAUDIO=6\\]\\HE\r\n" + body + "1234", -1, -1, 6, 2},
        {"\\HS\\[SZAUDIO=3\\]\\HE\r\n\\GS\r\n\\GE", -1, -1, 3, 3},  // a \GE line without line end
        {"\\HS\\[SZAUDIO=2\\]\\HE\r\n\\GS\r\n" + x + "\\GE y\r\nab", -1, -1, 2, 0},
        {"\\HS\\[SZAUDIO=5\\]\\HE\r\n\\GS\r\n" + x + "\\GE y\r\nab", -1, -1, 5, 3},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.text.substr(0, 60)));
        WriteBytes(dir.Path("s.gib"), c.text);
        const Scanned s = Scan(dir.Path("s.gib"));
        EXPECT_EQ(s.error, 0u);
        if (c.lines >= 0) {
            EXPECT_EQ(s.sizes.nBodyLines, c.lines);
            EXPECT_EQ(s.sizes.nBodyRecords, c.records);
        }
        EXPECT_EQ(s.sizes.nAudio, c.audio);
        EXPECT_EQ(s.sizes.nAudioInBody, c.inBody);
        ExpectAgree(dir.Path("s.gib"), "");
    }
}

#ifndef _WIN32
// A small record that declares a large audio part is read without a copy: nothing is made
// beside it, and the size comes from the header and the file's length.
TEST(Scanner, ReadsLargeAudioWithoutSideFiles) {
    LargeFiles large;
    TempDir dir;
    const std::string path = dir.Path("\xC6\xE5.gib");  // 棋.gib
    WriteBytes(path, "\\HS\\[SZAUDIO=1073741824\\]\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n");
    std::filesystem::resize_file(FsPath(path), (1LL << 30) + 4096);
    const Scanned s = Scan(path);
    EXPECT_EQ(s.error, 0u);
    EXPECT_EQ(s.sizes.nAudio, 1LL << 30);
    EXPECT_EQ(s.sizes.nBodyRecords, 1);
    EXPECT_EQ(dir.Names().size(), 1u);
}
#endif

struct Seen : gibo::ScanEvents {
    std::vector<std::tuple<gibo::Marker, int64_t, int64_t, int64_t>> markers;
    void OnMarker(gibo::Marker m, int64_t nLine, int64_t nOffset, int64_t nLineStart) override {
        markers.emplace_back(m, nLine, nOffset, nLineStart);
    }
};

struct Discard : gibo::BodySink {
    bool Line(const char*, size_t) override { return true; }
    bool Text(const char*, size_t) override { return true; }
    void Mark() override {}
    bool Rewind() override { return true; }
};

// Each marker by its line and the offset of its backslash, whatever stands before it: a lead
// byte with a second byte, a line of several pieces, a lone CR.
TEST(Scanner, ReportsMarkersWithLineAndOffset) {
    using gibo::Marker;
    const std::string longLine(70000, 'x');
    const std::string text = "\xB1\\HS \\HS\r\n\\[A=1\\]\r\n  \\HE x\r\n\r\n" + longLine +
                             "\\GS\r\nSTO\r 1\r\n" + longLine + "\\GE\r\n";
    TempDir dir;
    WriteBytes(dir.Path("m.gib"), text);
    gibo::Fd in;
    ASSERT_EQ(gibo::OpenFile(dir.Path("m.gib").c_str(), gibo::kRead, in), 0);
    Seen seen;
    const CString path = dir.Path("m.gib").c_str();
    gibo::RecordScanner scanner(in.Get(), path, &seen);
    CString header;
    Discard body;
    ASSERT_FALSE(scanner.ReadHeader(header));
    ASSERT_FALSE(scanner.ScanBody(body));
    auto at = [&](Marker m, int64_t line, size_t offset) {
        const size_t lineStart = text.rfind('\n', offset) + 1;  // npos + 1 == 0
        return std::make_tuple(m, line, static_cast<int64_t>(offset),
                               static_cast<int64_t>(lineStart));
    };
    const size_t gs = text.find("\\GS");
    const std::vector<std::tuple<Marker, int64_t, int64_t, int64_t>> expected = {
        at(Marker::Hs, 1, 5),
        at(Marker::He, 3, text.find("\\HE")),
        at(Marker::Gs, 5, gs),
        at(Marker::Ge, 7, text.find("\\GE", gs)),
    };
    EXPECT_EQ(seen.markers, expected);
}

}  // namespace
