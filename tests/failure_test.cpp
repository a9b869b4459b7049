// Every failure point of a load and a save, made to happen one at a time with the file layer's
// fault hook: the N-th open, read, write, close or rename fails as the system would. Whatever
// fails, the record already on disk stays as it was, no temporary or partial side file is left,
// and no file handle stays open. (The sanitizer build checks that nothing leaks memory.)
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "OpenFiles.h"
#include "TestSupport.h"
#include "framework/Faults.h"

namespace {

using gibo::FileOp;

struct OpName {
    FileOp op;
    const char* name;
    int err;
};
const OpName kOps[] = {
    {FileOp::Open, "open", EACCES},    {FileOp::Read, "read", EIO},
    {FileOp::Write, "write", ENOSPC},  {FileOp::Close, "close", ENOSPC},
    {FileOp::Rename, "rename", EXDEV},
};

// Disarms the hook whatever way a test leaves.
struct FaultScope {
    FaultScope() { gibo::ResetFaults(); }
    ~FaultScope() { gibo::ResetFaults(); }
};

std::string Body(size_t lines) {
    std::string body;
    for (size_t i = 0; i < lines; ++i) {
        body += "STO 0 " + std::to_string(i) + " 1 \xBA\xDA\r\n";  // 黑
    }
    return body;
}

std::string Audio(size_t n) {
    std::mt19937 rng(3);
    std::string audio(n, '\0');
    for (char& c : audio) {
        c = static_cast<char>(rng());
    }
    return audio;
}

// How many calls of each operation a complete run of fn makes: the failure points to walk.
template <typename Fn>
std::vector<int> CountCalls(Fn fn) {
    FaultScope scope;
    // Armed far beyond the run, so that the copies take the same path as when a fault is due
    // (the in-system copy steps aside for an armed hook) and every call is counted.
    gibo::ArmFault(FileOp::Rename, 1 << 30);
    fn();
    std::vector<int> calls;
    for (const OpName& o : kOps) {
        calls.push_back(gibo::FaultCalls(o.op));
    }
    return calls;
}

const std::set<unsigned long> kSaveErrors = {GIBO_ERR_OPEN, GIBO_ERR_BODY_OPEN, GIBO_ERR_AUDIO_OPEN,
                                             GIBO_ERR_CREATE};
const std::set<unsigned long> kLoadErrors = {GIBO_ERR_OPEN, GIBO_ERR_AUDIO_REOPEN,
                                             GIBO_ERR_BODY_CREATE, GIBO_ERR_AUDIO_CREATE};

TEST(Failure, EveryFailingSaveKeepsTheOldRecordAndLeavesNothing) {
    TempDir dir;
    const std::string target = dir.Path("rec.gib");
    WriteBytes(dir.Path("src.lbk"), Body(300));  // several 1024-byte copy steps
    WriteBytes(dir.Path("src.lao"), Audio(5000));
    const std::set<std::string> files = {"rec.gib", "src.lbk", "src.lao"};
    auto save = [&] {
        CGiboFile f;
        f.SetParam("GAMENAME", "cup");
        return f.SaveFile(2, target.c_str(), dir.Path("src.lbk").c_str(),
                          dir.Path("src.lao").c_str());
    };
    const std::vector<int> calls = CountCalls(save);
    ASSERT_EQ(ReadBytes(target).size() > 5000, true);
    const std::string saved = ReadBytes(target);

    int points = 0;
    for (size_t k = 0; k < std::size(kOps); ++k) {
        EXPECT_GT(calls[k], 0) << kOps[k].name;
        for (int n = 1; n <= calls[k]; ++n, ++points) {
            SCOPED_TRACE(std::string(kOps[k].name) + " #" + std::to_string(n));
            WriteBytes(target, "OLD RECORD");
            const int fds = OpenDescriptors();
            FaultScope scope;
            gibo::ArmFault(kOps[k].op, n, kOps[k].err);
            CGiboFile f;
            f.SetParam("GAMENAME", "cup");
            const int result = f.SaveFile(2, target.c_str(), dir.Path("src.lbk").c_str(),
                                          dir.Path("src.lao").c_str());
            EXPECT_EQ(result, 0);
            EXPECT_EQ(kSaveErrors.count(f.GetError()), 1u) << std::hex << f.GetError();
            EXPECT_EQ(ReadBytes(target), "OLD RECORD");
            EXPECT_EQ(dir.Names(), files);
            EXPECT_EQ(OpenDescriptors(), fds);
        }
    }
    EXPECT_GT(points, 10);

    // With the hook disarmed the same save goes through again.
    ASSERT_EQ(save(), 1);
    EXPECT_EQ(ReadBytes(target), saved);
}

TEST(Failure, EveryFailingLoadLeavesNoSideFile) {
    TempDir dir;
    const std::string body = Body(300);
    const std::string audio = Audio(3000);
    const std::string path = dir.Path("rec.gib");
    WriteBytes(path, "\\HS\r\n\\[TYPE = 4\\]\r\n\\[SZAUDIO = 3000\\]\r\n\\HE\r\n\\GS\r\n" + body +
                         "\\GE\r\n" + audio);
    auto load = [&](CGiboFile& f, int& bAudio) {
        CString bodyPath, audioPath;
        unsigned char type = 0;
        return f.LoadFile(path.c_str(), bodyPath, audioPath, type, bAudio);
    };
    const std::vector<int> calls = CountCalls([&] {
        CGiboFile f;
        int bAudio = 0;
        ASSERT_EQ(load(f, bAudio), 1);
        ASSERT_EQ(bAudio, 1);
    });
    EXPECT_EQ(ReadBytes(dir.Path("rec.lbk")), body);
    EXPECT_EQ(ReadBytes(dir.Path("rec.lao")), audio);

    for (size_t k = 0; k < std::size(kOps); ++k) {
        for (int n = 1; n <= calls[k]; ++n) {
            SCOPED_TRACE(std::string(kOps[k].name) + " #" + std::to_string(n));
            std::remove(dir.Path("rec.lbk").c_str());
            std::remove(dir.Path("rec.lao").c_str());
            const int fds = OpenDescriptors();
            FaultScope scope;
            gibo::ArmFault(kOps[k].op, n, kOps[k].err);
            CGiboFile f;
            int bAudio = -1;
            EXPECT_EQ(load(f, bAudio), 0);
            EXPECT_EQ(bAudio, 0);
            EXPECT_EQ(kLoadErrors.count(f.GetError()), 1u) << std::hex << f.GetError();
            EXPECT_EQ(dir.Names(), std::set<std::string>{"rec.gib"});
            EXPECT_EQ(OpenDescriptors(), fds);
        }
    }
}

// The reference reader passes the file layer's own failures to the host, as documented; the
// host's file and the record object stay usable.
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
    {
        FaultScope scope;
        gibo::ArmFault(FileOp::Read, 2, EIO);
        EXPECT_THROW(f.GetReference(&file, found, susun, explain, refnum, len), CFileException);
    }
    file.SeekToBegin();
    unsigned char* game = f.GetReference(&file, found, susun, explain, refnum, len);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(susun, 1);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(game), static_cast<size_t>(len)), "STO 1\r\n");
    std::free(game);
}

}  // namespace
