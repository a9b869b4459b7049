// Round trips through save and load, of seeded random records and of fuzzer-found inputs.

#include "GiboTags.h"
#include "TestSupport.h"

namespace {

const std::filesystem::path kRegressions =
    std::filesystem::path(__FILE__).parent_path() / "regressions";

using Rng = std::mt19937;

int Pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// One character of record text: ASCII, or a GBK pair whose trail byte may be 0x5C or 0x5D.
std::string Char(Rng& rng, bool blankOk) {
    switch (Pick(rng, 0, 5)) {
        case 0: {
            const char trails[] = {'\x5C', '\x5D', '\x40', '\x7E', '\xA1', '\xFE'};
            return {static_cast<char>(Pick(rng, 0x81, 0xFE)), trails[Pick(rng, 0, 5)]};
        }
        case 1:
            return blankOk ? " " : "x";
        case 2:
            return std::string(1, "=[]:,-\t"[Pick(rng, 0, 6)]);
        default:
            return std::string(1, static_cast<char>(Pick(rng, 'A', 'z')));
    }
}

// A body line as the loader writes it: no end blanks, no line end, no lone backslash.
std::string BodyLine(Rng& rng) {
    std::string line = Pick(rng, 0, 3) ? "STO " : "";
    const int n = Pick(rng, 0, 40);
    for (int i = 0; i < n; ++i) {
        line += Char(rng, i > 0 && i + 1 < n);
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

std::string Bytes(Rng& rng, size_t n) {
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(Pick(rng, 0, 255));
    }
    return s;
}

struct Record {
    std::vector<std::pair<std::string, std::string>> items;  // tag, value as SetParam keeps it
    std::string body, audio;
    bool audioFile = false;
    unsigned char type = 0;
};

Record RandomRecord(Rng& rng) {
    Record r;
    std::set<std::string> used;
    const int items = Pick(rng, 0, 12);
    for (int i = 0; i < items; ++i) {
        // Long tags of the vocabulary, which are never the start of one another.
        std::string tag = g_szLongTag[Pick(rng, 0, GIBO_LONGTAG_COUNT - 1)];
        if (tag == "TYPE" || tag == "SZAUDIO" || !used.insert(tag).second) {
            continue;
        }
        std::string value;
        const int n = Pick(rng, 0, 60);
        for (int k = 0; k < n; ++k) {
            value += Pick(rng, 0, 15) ? Char(rng, k > 0 && k + 1 < n) : "\r\n";
        }
        r.items.emplace_back(tag, value);
    }
    const int lines = Pick(rng, 0, 3) ? Pick(rng, 0, 120) : 0;
    for (int i = 0; i < lines; ++i) {
        r.body += BodyLine(rng) + "\r\n";
    }
    const size_t sizes[] = {0, 1, 1023, 1024, 1025, 4000};
    r.audio = Bytes(rng, Pick(rng, 0, 2) ? sizes[Pick(rng, 0, 5)] : Pick(rng, 0, 3000));
    r.audioFile = Pick(rng, 0, 4) != 0;
    r.type = static_cast<unsigned char>(Pick(rng, 0, 255));
    return r;
}

TEST(Property, SaveThenLoadGivesBackItemsBodyAndAudio) {
    Rng rng(20240611);
    TempDir dir;
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Record r = RandomRecord(rng);
        if (round == 0) {  // body and audio over many copy pieces
            while (r.body.size() < 300000) {
                r.body += BodyLine(rng) + "\r\n";
            }
            r.audio = Bytes(rng, 3u << 20);
            r.audioFile = true;
        }
        WriteBytes(dir.Path("in.lbk"), r.body);
        std::remove(dir.Path("in.lao").c_str());
        if (r.audioFile) {
            WriteBytes(dir.Path("in.lao"), r.audio);
        }
        CGiboFile out;
        for (const auto& item : r.items) {
            ASSERT_EQ(out.SetParam(item.first.c_str(), item.second.c_str()), 1);
        }
        ASSERT_EQ(out.SaveFile(r.type, dir.Path("rec.gib").c_str(), dir.Path("in.lbk").c_str(),
                               dir.Path("in.lao").c_str()),
                  1);

        Loaded l(dir.Path("rec.gib"));
        CGiboFile& in = l.f;
        ASSERT_EQ(l.result, 1) << std::hex << l.error;
        EXPECT_EQ(l.type, r.type);
        for (const auto& item : r.items) {
            int foundOut = 0, foundIn = 0;
            const CString want = out.GetParam(item.first.c_str(), foundOut);
            EXPECT_EQ(Shown(in.GetParam(item.first.c_str(), foundIn).str()), Shown(want.str()))
                << item.first;
            EXPECT_EQ(foundIn, 1) << item.first;
        }
        EXPECT_EQ(Shown(ReadBytes(l.bodyPath.str())), Shown(r.body));
        const bool hasAudio = r.audioFile && !r.audio.empty();
        EXPECT_EQ(l.audio, hasAudio ? 1 : 0);
        EXPECT_TRUE(hasAudio ? ReadBytes(l.audioPath.str()) == r.audio : l.audioPath.IsEmpty());
        int found = 0;
        EXPECT_EQ(std::atol(in.GetParam("SZAUDIO", found)),
                  hasAudio ? static_cast<long>(r.audio.size()) : 0L);
    }
}

TEST(Regression, RecordFilesSurviveTheRoundTrip) {
    std::error_code ec;
    if (!std::filesystem::is_directory(kRegressions, ec)) {
        // A cross-built test run elsewhere (under wine) may not see the source tree.
        GTEST_SKIP() << "no " << kRegressions.string();
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kRegressions)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("record-", 0) != 0) {
            continue;
        }
        ++files;
        SCOPED_TRACE(name);
        TempDir dir;
        WriteBytes(dir.Path("a.gib"), ReadBytes(entry.path().string()));
        Loaded one(dir.Path("a.gib"));
        if (!one.result) {
            EXPECT_EQ(dir.Names(), std::set<std::string>{"a.gib"});
            continue;
        }
        ASSERT_EQ(one.f.SaveFile(one.type, dir.Path("b.gib").c_str(), one.bodyPath, one.audioPath),
                  1);
        const Loaded two(dir.Path("b.gib"));
        ASSERT_EQ(two.result, 1);
        EXPECT_EQ(two.type, one.type);
        EXPECT_EQ(two.audio, one.audio);
        const std::string& saved = one.f.m_strHeader.str();
        const std::string& back = two.header;
        ASSERT_GE(back.size(), saved.size());
        EXPECT_EQ(Shown(back.substr(back.size() - saved.size())), Shown(saved));
    }
    EXPECT_GT(files, 0);
}

}  // namespace
