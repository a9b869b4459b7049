// Writing a record file: the container byte for byte, load-save round trips, error codes, and
// replacement that never damages the file already at the target.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

// Saves with file names in dir; an empty name stays an empty path.
int Save(CGiboFile& f, const TempDir& dir, int type, const std::string& target,
         const std::string& body, const std::string& audio) {
    auto at = [&](const std::string& name) { return name.empty() ? name : dir.Path(name); };
    return f.SaveFile(static_cast<unsigned char>(type), at(target).c_str(), at(body).c_str(),
                      at(audio).c_str());
}

struct LayoutCase {
    const char* header;
    int type;
    // audio null: no audio path; "-": a path to no file. head: the bytes up to \HE CR LF.
    const char *body, *audio, *head, *headerAfter;
};

const LayoutCase kLayouts[] = {
    {"\\[A=1\\]\r\n", 2, "STO 1\r\n", nullptr,
     "\\HS\r\n\\[TYPE = 2\\]\r\n\\[SZAUDIO = 0\\]\r\n\\[A=1\\]\r\n\\HE\r\n", "\\[A=1\\]\r\n"},
    {"\\[A=1\\]\r\n", 2, "STO 1\r\n", "-",
     "\\HS\r\n\\[TYPE = 2\\]\r\n\\[SZAUDIO = 0\\]\r\n\\[A=1\\]\r\n\\HE\r\n", "\\[A=1\\]\r\n"},
    {"\\[TYPE = 9\\]\r\n\\[SZAUDIO = 7\\]\r\n", 200, "", "a\r\n\\GE",
     "\\HS\r\n\\[TYPE =200\\]\r\n\\[SZAUDIO =6\\]\r\n\\HE\r\n",
     "\\[TYPE =200\\]\r\n\\[SZAUDIO =6\\]\r\n"},
    // No CR LF after the last item: \HE follows on its line.
    {"\\[SZAUDIO=1\\]\r\n\\[X=y\\]", 255, "STO a", "",
     "\\HS\r\n\\[TYPE = 255\\]\r\n\\[SZAUDIO=0\\]\r\n\\[X=y\\]\\HE\r\n",
     "\\[SZAUDIO=0\\]\r\n\\[X=y\\]"},
    {"\\[TYPE\\]\r\n", 0, "STO 1\r\nSTO 2\r\n", "xy",
     "\\HS\r\n\\[SZAUDIO = 2\\]\r\n\\[TYPE=0\\]\r\n\\HE\r\n", "\\[TYPE=0\\]\r\n"},
};

TEST(Writer, WritesTheContainerByteForByte) {
    for (const auto& c : kLayouts) {
        TempDir dir;
        WriteBytes(dir.Path("src.lbk"), c.body);
        const bool none = c.audio && std::string(c.audio) == "-";
        const std::string audio = c.audio && !none ? c.audio : "";
        if (c.audio && !none) {
            WriteBytes(dir.Path("src.lao"), audio);
        }
        CGiboFile f;
        f.m_strHeader = c.header;
        f.m_dwError = GIBO_ERR_NO_BODY;
        ASSERT_EQ(Save(f, dir, c.type, "rec.gib", "src.lbk",
                       none      ? "none.lao"
                       : c.audio ? "src.lao"
                                 : ""),
                  1)
            << Shown(c.header);
        EXPECT_EQ(f.GetError(), GIBO_ERR_NO_BODY);  // success leaves the code as it was
        const std::string expected = std::string(c.head) + "\\GS\r\n" + c.body + "\\GE\r\n" + audio;
        EXPECT_EQ(Shown(ReadBytes(dir.Path("rec.gib"))), Shown(expected));
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.headerAfter));
    }
}

// Random texts that survive a round trip: no backslash of their own, no blank at either end,
// and double-byte characters (often with the trail byte 0x5C) kept whole.
std::string RandomText(std::mt19937& rng, size_t length) {
    std::string s;
    while (s.size() < length) {
        const unsigned pick = rng() % 8;
        if (pick == 0 && s.size() + 2 <= length) {
            s += static_cast<char>(0x81 + rng() % 0x7E);
            s += rng() % 2 ? '\x5C' : static_cast<char>(0x80 + rng() % 0x7F);
        } else if (pick == 1) {
            s += "]=";
        } else {
            char c = static_cast<char>(0x20 + rng() % 0x5F);
            s += c == '\\' ? 'S' : c;
        }
    }
    s.resize(length);  // "]=" may overshoot by one
    if (!s.empty()) {
        s.front() = s.front() == ' ' ? 'x' : s.front();
        s.back() = s.back() == ' ' ? 'x' : s.back();
    }
    return s;
}

// A body as the loader writes it, of exactly n bytes: trimmed lines, each ending in CR LF.
std::string RandomBody(std::mt19937& rng, size_t n) {
    std::string body;
    while (body.size() < n) {
        size_t room = n - body.size() - 2;
        size_t len = std::min<size_t>(room, 3 + rng() % 60);
        if (room - len == 1) {
            ++len;  // a single byte could not end in CR LF
        }
        body += len >= 3 ? "STO" + RandomText(rng, len - 3) : std::string(len, 'S');
        body += "\r\n";
    }
    return body;
}

TEST(Writer, LoadGivesBackWhatWasSaved) {
    struct Sizes {
        size_t body;
        long audio;  // -1: none
    };
    const Sizes sizes[] = {{0, -1}, {1023, 7}, {1024, -1}, {1025, 3 << 20}, {300000, 1024}};
    std::mt19937 rng(20240611);
    for (const auto& s : sizes) {
        TempDir dir;
        CGiboFile f;
        std::vector<std::pair<std::string, std::string>> items;
        for (int i = 0, count = 1 + static_cast<int>(rng() % 20); i < count; ++i) {
            char tag[16];
            std::snprintf(tag, sizeof tag, "K%03d", i);
            items.emplace_back(tag, RandomText(rng, rng() % 40));
            ASSERT_EQ(f.SetParam(tag, items.back().second.c_str()), 1);
        }
        const std::string body = RandomBody(rng, s.body);
        ASSERT_EQ(body.size(), s.body);
        WriteBytes(dir.Path("src.lbk"), body);
        std::string audio;
        for (long i = 0; i < s.audio; ++i) {
            audio += static_cast<char>(rng());
        }
        if (s.audio >= 0) {
            WriteBytes(dir.Path("src.lao"), audio);
        }
        const auto type = static_cast<unsigned char>(rng());
        ASSERT_EQ(Save(f, dir, type, "rec.gib", "src.lbk", s.audio >= 0 ? "src.lao" : ""), 1);

        CGiboFile g;
        CString bodyPath, audioPath;
        unsigned char loadedType = 0;
        int hasAudio = 0;
        ASSERT_EQ(
            g.LoadFile(dir.Path("rec.gib").c_str(), bodyPath, audioPath, loadedType, hasAudio), 1);
        EXPECT_EQ(loadedType, type);
        EXPECT_EQ(hasAudio, s.audio > 0 ? 1 : 0);
        EXPECT_TRUE(ReadBytes(bodyPath.str()) == body) << "body of " << s.body;
        if (s.audio > 0) {
            EXPECT_TRUE(ReadBytes(audioPath.str()) == audio) << "audio of " << s.audio;
        } else {
            EXPECT_TRUE(audioPath.IsEmpty());
        }
        int found = 0;
        for (const auto& item : items) {
            EXPECT_EQ(Shown(g.GetParam(item.first.c_str(), found).str()), Shown(item.second));
            EXPECT_EQ(found, 1);
        }
        EXPECT_EQ(std::atoi(g.GetParam("SZAUDIO", found)), s.audio > 0 ? s.audio : 0);
    }
}

#ifndef _WIN32
// Lowers the largest file this process may write, so that a write fails midway as on a full
// disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
#endif

struct FailCase {
    const char *name, *target, *body, *audio;
    unsigned long error;
    const char* extra;  // a directory or file made for the case, left in place
};

const FailCase kFailures[] = {
    {"no body", "rec.gib", "none.lbk", "src.lao", GIBO_ERR_OPEN, nullptr},
    {"missing directory", "nodir/rec.gib", "src.lbk", "src.lao", GIBO_ERR_CREATE, nullptr},
    {"target is a directory", "dir", "src.lbk", "src.lao", GIBO_ERR_CREATE, "dir"},
    {"empty target", "", "src.lbk", "src.lao", GIBO_ERR_CREATE, nullptr},
    {"audio is a directory", "rec.gib", "src.lbk", "dir", GIBO_ERR_AUDIO_OPEN, "dir"},
    {"audio of 2 GiB", "rec.gib", "src.lbk", "big.lao", GIBO_ERR_AUDIO_OPEN, "big.lao"},
    {"body is a directory", "rec.gib", "dir", "", GIBO_ERR_BODY_OPEN, "dir"},
#ifndef _WIN32
    {"disk full", "rec.gib", "src.lbk", "src.lao", GIBO_ERR_CREATE, nullptr},
#endif
};

TEST(Writer, FailedSaveKeepsTheOldRecordAndLeavesNoTemporary) {
    std::mt19937 rng(7);
    const std::string body = RandomBody(rng, 200000);
    for (const auto& c : kFailures) {
        TempDir dir;
        WriteBytes(dir.Path("rec.gib"), "OLD RECORD");
        WriteBytes(dir.Path("src.lbk"), body);
        WriteBytes(dir.Path("src.lao"), "AUDIO");
        std::set<std::string> expected = {"rec.gib", "src.lbk", "src.lao"};
        if (c.extra) {
            expected.insert(c.extra);
            if (std::string(c.extra) == "dir") {
                std::filesystem::create_directory(dir.Path("dir"));
            } else {
                // Sparse: the size is refused before a byte is copied.
                std::filesystem::resize_file((WriteBytes(dir.Path(c.extra), ""), dir.Path(c.extra)),
                                             1ull << 31);
            }
        }
        CGiboFile f;
        f.m_strHeader = "\\[A=1\\]\r\n";
        int result = -1;
        {
#ifndef _WIN32
            std::unique_ptr<FileSizeLimit> limit;
            if (std::string(c.name) == "disk full") {
                limit = std::make_unique<FileSizeLimit>(100000);
            }
#endif
            result = Save(f, dir, 1, c.target, c.body, c.audio);
        }
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_EQ(f.GetError(), c.error) << c.name;
        EXPECT_EQ(ReadBytes(dir.Path("rec.gib")), "OLD RECORD") << c.name;
        EXPECT_EQ(dir.Names(), expected) << c.name;
    }
}

TEST(Writer, TargetMayBeTheBodyFileItself) {
    TempDir dir;
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    WriteBytes(dir.Path("src.lao"), "AU");
    CGiboFile f;
    ASSERT_EQ(Save(f, dir, 3, "rec.gib", "src.lbk", "src.lao"), 1);
    ASSERT_EQ(Save(f, dir, 3, "src.lbk", "src.lbk", "src.lao"), 1);
    EXPECT_EQ(ReadBytes(dir.Path("src.lbk")), ReadBytes(dir.Path("rec.gib")));
    ASSERT_EQ(Save(f, dir, 3, "src.lao", "rec.gib", "src.lao"), 1);
    const std::string joined = ReadBytes(dir.Path("src.lao"));
    EXPECT_NE(joined.find("\\GS\r\n\\HS\r\n"), std::string::npos);
    EXPECT_EQ(joined.substr(joined.size() - 7), "\\GE\r\nAU");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"rec.gib", "src.lbk", "src.lao"}));
}

#ifndef _WIN32
TEST(Writer, ReplacingKeepsPermissionsAndLinks) {
    TempDir dir;
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    WriteBytes(dir.Path("rec.gib"), "OLD");
    ASSERT_EQ(::chmod(dir.Path("rec.gib").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("rec.gib", dir.Path("link.gib").c_str()), 0);
    CGiboFile f;
    ASSERT_EQ(Save(f, dir, 1, "link.gib", "src.lbk", ""), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.gib")));
    EXPECT_EQ(ReadBytes(dir.Path("rec.gib")).substr(0, 5), "\\HS\r\n");
    struct stat st;
    ASSERT_EQ(::stat(dir.Path("rec.gib").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"link.gib", "rec.gib", "src.lbk"}));
}
#endif

}  // namespace
