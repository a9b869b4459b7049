// Fuzzer-found inputs; regressions/record-*.gib must survive load, save, load unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

const std::filesystem::path kRegressions =
    std::filesystem::path(__FILE__).parent_path() / "regressions";

struct Loaded {
    int result = 0;
    unsigned char type = 0;
    int audio = 0;
    CString bodyPath, audioPath;
};

Loaded Load(CGiboFile& f, const std::string& path) {
    Loaded r;
    r.result = f.LoadFile(path.c_str(), r.bodyPath, r.audioPath, r.type, r.audio);
    return r;
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
        CGiboFile first;
        const Loaded one = Load(first, dir.Path("a.gib"));
        if (!one.result) {
            EXPECT_EQ(dir.Names(), std::set<std::string>{"a.gib"});
            continue;
        }
        ASSERT_EQ(first.SaveFile(one.type, dir.Path("b.gib").c_str(), one.bodyPath, one.audioPath),
                  1);
        CGiboFile second;
        const Loaded two = Load(second, dir.Path("b.gib"));
        ASSERT_EQ(two.result, 1);
        EXPECT_EQ(two.type, one.type);
        EXPECT_EQ(two.audio, one.audio);
        const std::string& saved = first.m_strHeader.str();
        const std::string& back = second.m_strHeader.str();
        ASSERT_GE(back.size(), saved.size());
        EXPECT_EQ(Shown(back.substr(back.size() - saved.size())), Shown(saved));
    }
    EXPECT_GT(files, 0);
}

// Found by the record fuzzer: a TYPE item inside a damaged SZAUDIO value was swept away with it
// on saving, and the record came back with type 0.
TEST(Regression, TypeItemInsideTheAudioSizeItemKeepsTheType) {
    TempDir dir;
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    CGiboFile f;
    f.m_strHeader = "\\[SZAUDIO =\\[TYPE = 3\\]\r\n";
    ASSERT_EQ(f.SaveFile(3, dir.Path("rec.gib").c_str(), dir.Path("src.lbk").c_str(), ""), 1);
    CGiboFile g;
    const Loaded r = Load(g, dir.Path("rec.gib"));
    ASSERT_EQ(r.result, 1);
    EXPECT_EQ(r.type, 3);
    EXPECT_EQ(r.audio, 0);
    EXPECT_EQ(
        Shown(ReadBytes(dir.Path("rec.gib"))),
        Shown("\\HS\r\n\\[TYPE = 3\\]\r\n\\[SZAUDIO =0\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n"));
}

}  // namespace
