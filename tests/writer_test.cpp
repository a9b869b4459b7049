// Writing a record: the container byte for byte, error codes, replacement that never damages.

#include "Nobody.h"
#include "TestSupport.h"
#include "framework/SysFile.h"
#include "writing/Save.h"

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
    // Found by the record fuzzer: a TYPE item inside a damaged SZAUDIO value lost the type.
    {"\\[SZAUDIO =\\[TYPE = 3\\]\r\n", 3, "STO 1\r\n", nullptr,
     "\\HS\r\n\\[TYPE = 3\\]\r\n\\[SZAUDIO =0\\]\r\n\\HE\r\n", "\\[SZAUDIO =0\\]\r\n"},
};

TEST(Writer, WritesTheContainerByteForByte) {
    for (const auto& c : kLayouts) {
        TempDir dir;
        WriteBytes(dir.Path("src.lbk"), c.body);
        const std::string audio = c.audio && *c.audio != '-' ? c.audio : "";
        WriteBytes(dir.Path("src.lao"), audio);
        CGiboFile f;
        f.m_strHeader = c.header;
        f.m_dwError = GIBO_ERR_NO_BODY;
        const char* audioName = !c.audio ? "" : *c.audio == '-' ? "none.lao" : "src.lao";
        ASSERT_EQ(Save(f, dir, c.type, "rec.gib", "src.lbk", audioName), 1) << Shown(c.header);
        EXPECT_EQ(f.GetError(), GIBO_ERR_NO_BODY);  // success leaves the code as it was
        const std::string expected = std::string(c.head) + "\\GS\r\n" + c.body + "\\GE\r\n" + audio;
        EXPECT_EQ(Shown(ReadBytes(dir.Path("rec.gib"))), Shown(expected));
        EXPECT_EQ(Shown(f.m_strHeader.str()), Shown(c.headerAfter));
    }
}

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
    {"target is a FIFO", "fifo", "src.lbk", "", GIBO_ERR_CREATE, "fifo"},  // nor a device
#endif
};

TEST(Writer, FailedSaveKeepsTheOldRecordAndLeavesNoTemporary) {
    const LargeFiles large;               // the audio of 2 GiB
    const std::string body(220000, 'x');  // copied in several pieces
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
#ifndef _WIN32
            } else if (std::string(c.extra) == "fifo") {
                ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0666), 0);
#endif
            } else {
                // Sparse: the size is refused before a byte is copied.
                std::filesystem::resize_file((WriteBytes(dir.Path(c.extra), ""), dir.Path(c.extra)),
                                             1ull << 31);
            }
        }
        CGiboFile f;
        f.m_strHeader = "\\[A=1\\]\r\n";
        EXPECT_EQ(Save(f, dir, 1, c.target, c.body, c.audio), 0) << c.name;
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
    ASSERT_EQ(Save(f, dir, 3, "src.lao", "src.lbk", "src.lao"), 1);
    EXPECT_EQ(ReadBytes(dir.Path("src.lao")), ReadBytes(dir.Path("rec.gib")));
    ASSERT_EQ(Save(f, dir, 3, "src.lbk", "src.lbk", "rec.gib"), 1);
    const std::string joined = ReadBytes(dir.Path("src.lbk"));
    EXPECT_NE(joined.find("\\GS\r\nSTO 1\r\n\\GE\r\n\\HS\r\n"), std::string::npos);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"rec.gib", "src.lbk", "src.lao"}));
}

// \HE in the header or \GE in the body at a character start would end them early: refused. A
// lone lead byte at their end gets a line end, so that the marker after it stays one.
TEST(Writer, SavedRecordsLoadBackOrAreRefused) {
    const std::string x(65535, 'x'), lead(65535, '\xB1');
    const struct {
        std::string header, body;
        const char* headerBack;  // after the TYPE and SZAUDIO lines; null: refused
        std::string bodyBack;
    } cases[] = {
        {"\\[PATH=C:\\HEROES\\g.gib\\]\r\n", "STO 1\r\n", nullptr, ""},
        {"\\[N=\xB1\\HE\\]\r\n", "STO 1\r\n", "\\[N=\xB1\\HE\\]\r\n", "STO 1\r\n"},
        {"\\[A=1\\]\r\nx\xB1", "STO 1", "\\[A=1\\]\r\nx\xB1\r\n", "STO 1\r\n"},
        {"", "STO 1\r\nSTO \xB1", "", "STO 1\r\nSTO \xB1\r\n"},
        {"", "STO 1\r\nSTO 2 \\GE x\r\nSTO 3\r\n", nullptr, ""},
        {"", "STO \xB1\\GE\r\n", "", "STO \xB1\\GE\r\n"},
        {"", x + "\\GE", nullptr, ""},
        {"", x.substr(1) + "\\GE" + std::string(1, '\0'), nullptr, ""},  // and a NUL
        {"", x + "\\x\\GE", nullptr, ""},
        {"", x + "\xB1\\GE", "", x + "\xB1\\GE\r\n"},
        {"", lead + "\\GE", "", lead + "\\GE\r\n"},
        {"", lead + "\xB1\\GE", nullptr, ""},
        {"", lead + "\xB1\xB1", "", lead + "\xB1\xB1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.header) + " / " + Shown(c.body.substr(c.body.size() / 65536 * 65530)));
        TempDir dir;
        WriteBytes(dir.Path("rec.gib"), "OLD");
        WriteBytes(dir.Path("src.lbk"), c.body);
        CGiboFile f;
        f.m_strHeader = c.header.c_str();
        const int saved = Save(f, dir, 1, "rec.gib", "src.lbk", "");
        if (!c.headerBack) {
            EXPECT_EQ(saved, 0);
            EXPECT_EQ(f.GetError(), GIBO_ERR_CREATE);
            EXPECT_EQ(f.m_strHeader, c.header.c_str());
            EXPECT_EQ(ReadBytes(dir.Path("rec.gib")), "OLD");
            EXPECT_EQ(dir.Names(), (std::set<std::string>{"rec.gib", "src.lbk"}));
            continue;
        }
        const Loaded back(dir.Path("rec.gib"));
        EXPECT_EQ(saved + back.result, 2) << std::hex << back.error;
        EXPECT_EQ(Shown(back.header),
                  Shown("\\[TYPE = 1\\]\r\n\\[SZAUDIO = 0\\]\r\n" + std::string(c.headerBack)));
        EXPECT_TRUE(ReadBytes(back.bodyPath.str()) == c.bodyBack);
    }
}

#ifndef _WIN32
// Replacing keeps the mode, the owner and group where it may (root), and links, even dangling.
TEST(Writer, ReplacingKeepsModeOwnerAndLinks) {
    const bool root = ::geteuid() == 0;
    const struct {
        const char *target, *link;  // link: what a symbolic link at target names
        mode_t mode;                // of the record before; 0: none
    } cases[] = {
        {"rec.gib", nullptr, 0640}, {"link.gib", "rec.gib", 0604}, {"link.gib", "sub/new.gib", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        TempDir dir;
        std::filesystem::create_directory(dir.Path("sub"));
        WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
        const std::string record = dir.Path(c.link ? c.link : c.target);
        if (c.mode) {
            WriteBytes(record, "OLD");
            ASSERT_EQ(::chmod(record.c_str(), c.mode), 0);
            ASSERT_TRUE(!root || ::chown(record.c_str(), 65534, 65534) == 0);
        }
        if (c.link) {
            ASSERT_EQ(::symlink(c.link, dir.Path(c.target).c_str()), 0);
        }
        CGiboFile f;
        ASSERT_EQ(Save(f, dir, 1, c.target, "src.lbk", ""), 1);
        EXPECT_EQ(std::filesystem::is_symlink(dir.Path(c.target)), c.link != nullptr);
        EXPECT_EQ(ReadBytes(record).substr(0, 5), "\\HS\r\n");
        struct stat st;
        ASSERT_EQ(::stat(record.c_str(), &st), 0);
        if (!c.mode) {  // a new record: readable and writable as the umask allows
            const mode_t mask = ::umask(0);
            ::umask(mask);
            EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
        } else {
            EXPECT_EQ(st.st_mode & 07777, c.mode);
            EXPECT_EQ(st.st_uid, root ? 65534u : ::geteuid());
            EXPECT_EQ(st.st_gid, root ? 65534u : ::getegid());
        }
        EXPECT_EQ(dir.Names().size(), c.link && c.mode ? 4u : 3u);  // no temporary beside it
        EXPECT_EQ(std::filesystem::is_empty(dir.Path("sub")), c.mode != 0);
    }
}

// Another program changes the name between the save's check and its rename (the test seam runs
// it there): the save is refused, that program's file stays. SaveExpecting refuses a file other
// than the one the caller locked.
TEST(Writer, SavesOnlyOverTheFileItFound) {
    const struct {
        const char *stage, *swap;
        const char* left;  // at rec.gib afterwards; null: nothing
    } cases[] = {
        {"rename", "mv other rec.gib", "OTHER"},
        {"rename", "rm rec.gib && ln -s other rec.gib", "OTHER"},
        {"rename", "rm rec.gib", nullptr},
        {"save", "mv other rec.gib", "\\HS\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stage) + ": " + c.swap);
        TempDir dir;
        WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
        WriteBytes(dir.Path("rec.gib"), "OLD");
        WriteBytes(dir.Path("other"), "OTHER");
        const std::string hook = std::string(c.stage) + ":cd '" + dir.Dir() + "' && " + c.swap;
        ::setenv("GIBO_TEST_HOOK", hook.c_str(), 1);
        CGiboFile f;
        const int saved = Save(f, dir, 1, "rec.gib", "src.lbk", "");
        ::unsetenv("GIBO_TEST_HOOK");
        EXPECT_EQ(saved, std::string(c.stage) == "save");
        const std::string rec = dir.Path("rec.gib");
        EXPECT_EQ(Exists(rec) ? ReadBytes(rec).substr(0, 5) : "none", c.left ? c.left : "none");
        for (const std::string& name : dir.Names()) {
            EXPECT_EQ(name.find(".gibo-"), std::string::npos) << "a temporary was left";
        }
    }
    TempDir dir;
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    WriteBytes(dir.Path("rec.gib"), "OLD");
    gibo::Fd locked;
    gibo::FileId id;
    ASSERT_EQ(gibo::OpenFile(dir.Path("rec.gib").c_str(), gibo::kRead, locked), 0);
    ASSERT_EQ(gibo::IdentityOf(locked.Get(), id), 0);
    // The first save replaces the locked file: the second finds another one there.
    for (const bool replaced : {false, true}) {
        CGiboFile f;
        f.SetParam("N", replaced ? "2" : "1");
        bool moved = !replaced;
        EXPECT_EQ(gibo::SaveExpecting(f, 1, dir.Path("rec.gib").c_str(),
                                      dir.Path("src.lbk").c_str(), "", id, moved),
                  replaced ? 0 : 1);
        EXPECT_EQ(moved, replaced);
        int found = 0;
        EXPECT_EQ(Loaded(dir.Path("rec.gib")).f.GetParam("N", found).str(), "1");
    }
}

// A chain of links is followed as far as the system follows one (40 links), and no farther.
TEST(Writer, LinkChainsAreFollowedAsFarAsTheSystemFollowsThem) {
    for (const int links : {40, 41}) {
        TempDir dir;
        WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
        WriteBytes(dir.Path("rec.gib"), "OLD");
        std::string to = "rec.gib";
        for (int i = 0; i < links; ++i) {
            const std::string name = "l" + std::to_string(i);
            ASSERT_EQ(::symlink(to.c_str(), dir.Path(name).c_str()), 0);
            to = name;
        }
        CGiboFile f;
        Save(f, dir, 1, to, "src.lbk", "");
        EXPECT_EQ(ReadBytes(dir.Path("rec.gib")) == "OLD", links > 40) << links;
    }
}

// A record the caller could not open for writing is refused before anything is created; one it
// may write through its group, but owned by another user, keeps at least its group.
TEST(Writer, UnprivilegedCallersReplaceOnlyWhatTheyMayWrite) {
    TempDir dir;
    const std::string rec = dir.Path("rec.gib");
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    WriteBytes(rec, "OLD");
    ASSERT_EQ(::chmod(rec.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.Dir().c_str(), 0777), 0);
    auto refused = [&] {
        CGiboFile f;
        return Save(f, dir, 1, "rec.gib", "src.lbk", "") == 0 && f.GetError() == GIBO_ERR_CREATE &&
               dir.Names() == std::set<std::string>{"rec.gib", "src.lbk"};
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(refused());
        EXPECT_EQ(ReadBytes(rec), "OLD");
        GTEST_SKIP() << "the rest needs root to make the other user";
    }
    const gid_t group = 4242;
    const int status = AsNobody(group, dir.Dir(), refused);
    if (status == 2) {
        GTEST_SKIP() << "cannot become an unprivileged user who reaches the test directory";
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(rec), "OLD");
    ASSERT_EQ(::chown(rec.c_str(), 0, group), 0);
    ASSERT_EQ(::chmod(rec.c_str(), 0664), 0);
    EXPECT_EQ(AsNobody(group, dir.Dir(),
                       [&] {
                           CGiboFile f;
                           return Save(f, dir, 1, "rec.gib", "src.lbk", "") == 1;
                       }),
              0);
    struct stat st;
    ASSERT_EQ(::stat(rec.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
}
#endif

}  // namespace
