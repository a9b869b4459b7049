// Every failure point of a load and a save, one at a time through the file layer's fault seam:
// the record stays as it was, nothing is left behind, and the caller learns of it.

#include <cerrno>
#include <functional>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#endif

#include "OpenFiles.h"
#include "TestSupport.h"
#include "framework/Faults.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using gibo::FileOp;

struct OpCase {
    FileOp op;
    const char* name;
    int err;
    bool raises;  // a read or write failure: the exception reaches the caller
};
const OpCase kOps[] = {
    {FileOp::Open, "open", EACCES, false},    {FileOp::Create, "create", EACCES, false},
    {FileOp::Read, "read", EIO, true},        {FileOp::Write, "write", ENOSPC, true},
    {FileOp::Copy, "copy", EIO, true},        {FileOp::Sync, "sync", EIO, true},
    {FileOp::Rename, "rename", EXDEV, false}, {FileOp::Remove, "remove", EPERM, false},
    {FileOp::Close, "close", ENOSPC, true},
};

#ifdef _WIN32
constexpr int kSaveSyncs = 1;  // the data; Windows has no directory to sync
#else
constexpr int kSaveSyncs = 2;  // the data before the rename, the directory after
#endif

struct FaultScope {
    FaultScope() { gibo::ResetFaults(); }
    ~FaultScope() { gibo::ResetFaults(); }
};

struct Walk {
    const char* name;
    std::function<void()> reset;  // the files as they stand before the run
    std::function<int(CGiboFile&)> run;
    std::set<std::string> left;  // what a failed run leaves in its directory
    std::set<unsigned long> codes;
};

TEST(Failure, EveryFailurePointCleansUpAndReachesTheCaller) {
    TempDir loadDir, saveDir;
    // Both larger than one copy piece, so that copies and reads take several.
    std::string body, audio(150000, '\0');
    for (size_t i = 0; i < 8000; ++i) {
        body += "STO 0 " + std::to_string(i) + " 1 \xBA\xDA\r\n";  // 黑
    }
    for (size_t i = 0; i < audio.size(); ++i) {
        audio[i] = static_cast<char>(i * 131 + i / 977);
    }
    // Its last body line runs over a piece and is read again to be split.
    const std::string record =
        "\\HS\r\n\\[TYPE = 4\\]\r\n\\[SZAUDIO = " + std::to_string(audio.size()) +
        "\\]\r\n\\HE\r\n\\GS\r\n" + body + "STO " + std::string(70000, 'x') + " STO 1\\GE\r\n" +
        audio;
    WriteBytes(loadDir.Path("rec.gib"), record);
    WriteBytes(saveDir.Path("src.lbk"), body);
    WriteBytes(saveDir.Path("src.lao"), audio);
    const std::string target = saveDir.Path("rec.gib");
    const Walk walks[] = {
        {"load",
         [&] {
             std::remove(loadDir.Path("rec.lbk").c_str());
             std::remove(loadDir.Path("rec.lao").c_str());
         },
         [&](CGiboFile& f) {
             CString bodyPath, audioPath;
             unsigned char type = 0;
             int bAudio = -1;
             const int r =
                 f.LoadFile(loadDir.Path("rec.gib").c_str(), bodyPath, audioPath, type, bAudio);
             EXPECT_EQ(bAudio, r);
             return r;
         },
         {"rec.gib"},
         {GIBO_ERR_OPEN, GIBO_ERR_AUDIO_REOPEN, GIBO_ERR_BODY_CREATE, GIBO_ERR_AUDIO_CREATE}},
        {"save",
         [&] { WriteBytes(target, "OLD RECORD"); },
         [&](CGiboFile& f) {
             f.SetParam("GAMENAME", "cup");
             return f.SaveFile(4, target.c_str(), saveDir.Path("src.lbk").c_str(),
                               saveDir.Path("src.lao").c_str());
         },
         {"rec.gib", "src.lbk", "src.lao"},
         {GIBO_ERR_BODY_OPEN, GIBO_ERR_AUDIO_OPEN, GIBO_ERR_CREATE}},
    };
    // The in-system copy, and the buffer copy that takes over where the system refuses it.
    const int kBufferCopy = 1;
    for (int copyPath = 0; copyPath < 2; ++copyPath) {
        auto base = [&] {
            gibo::ResetFaults();
            if (copyPath == kBufferCopy) {
                gibo::ArmFault(FileOp::Copy, 1, EXDEV, 1 << 30);
            }
        };
        for (const Walk& w : walks) {
            const bool save = std::string(w.name) == "save";
            FaultScope scope;
            w.reset();
            base();
            CGiboFile clean;
            ASSERT_EQ(w.run(clean), 1) << w.name;
            int calls[std::size(kOps)];
            for (size_t k = 0; k < std::size(kOps); ++k) {
                calls[k] = gibo::FaultCalls(kOps[k].op);
            }
            EXPECT_EQ(calls[5], save ? kSaveSyncs : 0) << w.name;  // syncs
            const std::string saved = save ? ReadBytes(target) : std::string();
            // The audio arrives whole on either copy path.
            const std::string got = save ? saved : ReadBytes(loadDir.Path("rec.lao"));
            EXPECT_TRUE(got.size() >= audio.size() &&
                        got.compare(got.size() - audio.size(), audio.size(), audio) == 0);

            for (size_t k = 0; k < std::size(kOps); ++k) {
                const OpCase& o = kOps[k];
                for (int n = 1; n <= calls[k] && !(copyPath == kBufferCopy && o.op == FileOp::Copy);
                     ++n) {
                    SCOPED_TRACE(std::string(w.name) + " copy path " + std::to_string(copyPath) +
                                 ": " + o.name + " #" + std::to_string(n));
                    w.reset();
                    const int fds = OpenDescriptors();
                    base();
                    gibo::ArmFault(o.op, n, o.err, 1 << 30);  // and every later call
                    CGiboFile f;
                    int result = -1;
                    long raised = 0;
                    try {
                        result = w.run(f);
                    } catch (const CFileException& e) {
                        raised = e.m_lOsError;
                    }
                    gibo::ResetFaults();
                    EXPECT_EQ(raised, o.raises ? o.err : 0);
                    EXPECT_NE(result, 1);
                    EXPECT_EQ(w.codes.count(f.GetError()), 1u) << std::hex << f.GetError();
                    EXPECT_EQ(save ? saveDir.Names() : loadDir.Names(), w.left);
                    // Only the directory's sync follows the replacement: reported, record new.
                    const bool committed = save && o.op == FileOp::Sync && n == 2;
                    if (save) {
                        EXPECT_EQ(ReadBytes(target) == (committed ? saved : "OLD RECORD"), true);
                    }
                    EXPECT_EQ(OpenDescriptors(), fds);
                }
            }
        }
    }
}

#ifdef _WIN32
// A ReplaceFile that fails after the old record is gone: the temporary moves in, or stays.
TEST(Failure, ReplaceThatLosesTheOldRecordKeepsTheNewOne) {
    const struct {
        int replaceErr, failedCalls;
        int result;
        const char* record;  // null: no record left, the temporary holds the new one
    } cases[] = {
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1, 1, "new"},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, 2, 0, nullptr},
        {ERROR_ACCESS_DENIED, 1, 1, "new"},
        {ERROR_ACCESS_DENIED, 2, 0, "OLD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.replaceErr) + " x" + std::to_string(c.failedCalls));
        TempDir dir;
        WriteBytes(dir.Path("rec.gib"), "OLD");
        WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
        FaultScope scope;
        gibo::ArmFault(FileOp::Rename, 1, c.replaceErr, c.failedCalls);
        CGiboFile f;
        EXPECT_EQ(f.SaveFile(1, dir.Path("rec.gib").c_str(), dir.Path("src.lbk").c_str(), ""),
                  c.result);
        EXPECT_EQ(dir.Names().size(), 2u);
        if (!c.record) {
            EXPECT_FALSE(Exists(dir.Path("rec.gib")));
            for (const std::string& name : dir.Names()) {
                if (name != "src.lbk") {
                    EXPECT_EQ(ReadBytes(dir.Path(name)).substr(0, 5), "\\HS\r\n");
                }
            }
        } else {
            EXPECT_EQ(ReadBytes(dir.Path("rec.gib")).substr(0, 3),
                      std::string(c.record) == "OLD" ? "OLD" : "\\HS");
        }
    }
}
#endif

// Where every temporary name is taken, a save gives up after a bounded number of tries.
TEST(Failure, SaveGivesUpWhenEveryTemporaryNameIsTaken) {
    TempDir dir;
    WriteBytes(dir.Path("rec.gib"), "OLD");
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    FaultScope scope;
    gibo::ArmFault(FileOp::Create, 1, EEXIST, 1 << 30);
    CGiboFile f;
    EXPECT_EQ(f.SaveFile(1, dir.Path("rec.gib").c_str(), dir.Path("src.lbk").c_str(), ""), 0);
    EXPECT_EQ(gibo::FaultCalls(FileOp::Create), 100);
    EXPECT_EQ(f.GetError(), GIBO_ERR_CREATE);
    EXPECT_EQ(ReadBytes(dir.Path("rec.gib")), "OLD");
    // An empty path is refused before anything is created (in the working directory).
    gibo::ResetFaults();
    EXPECT_EQ(f.SaveFile(1, "", dir.Path("src.lbk").c_str(), ""), 0);
    EXPECT_EQ(gibo::FaultCalls(FileOp::Create), 0);
    EXPECT_EQ(f.GetError(), GIBO_ERR_CREATE);
}

#ifndef _WIN32
// A host started with standard input closed gives the library descriptor 0: used, then closed.
TEST(Failure, DescriptorZeroIsUsedAndClosedLikeAnyOther) {
    TempDir dir;
    WriteBytes(dir.Path("src.lbk"), "STO 1\r\n");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(0);
        CGiboFile f;
        const std::string rec = dir.Path("rec.gib");
        const bool ok = f.SaveFile(1, rec.c_str(), dir.Path("src.lbk").c_str(), "") == 1 &&
                        Loaded(rec).result == 1;
        ::_exit(ok && ::fcntl(0, F_GETFD) == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif

// The reference reader passes file failures to the host; file and record object stay usable.
TEST(Failure, ReferenceReadFailureReachesTheHostAndLeaksNothing) {
    TempDir dir;
    const std::string path = dir.Path("refs.txt");
    WriteBytes(path, "\\RS\r\n\\[REFSUSUN = 1\\]\r\n\\[REFGIBO = \r\nSTO 1\r\n\\]\r\n\\RE\r\n");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    CGiboFile f;
    int found = 0, len = 0;
    unsigned short susun = 0, refnum = 0;
    CString explain;
    FaultScope scope;
    gibo::ArmFault(FileOp::Read, 1, EIO);  // the next read only
    EXPECT_THROW(f.GetReference(&file, found, susun, explain, refnum, len), CFileException);
    file.SeekToBegin();
    unsigned char* game = f.GetReference(&file, found, susun, explain, refnum, len);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(susun, 1);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(game), static_cast<size_t>(len)), "STO 1\r\n");
    std::free(game);
}

}  // namespace
