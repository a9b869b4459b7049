// The checker reads records through the library's scanner: its verdict is LoadFile's, and its
// findings name the lines of the record file, however long they are.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "../TestSupport.h"
#include "framework/FileSystem.h"
#include "os/input.h"
#include "record/checker.h"

namespace {

std::vector<Problem> Check(const std::string& path, long long size, LoadVerdict& verdict) {
    gibo::Fd fd;
    EXPECT_EQ(gibo::OpenFile(path.c_str(), gibo::kRead, fd), 0);
    return CheckRecord(fd.Get(), size, verdict);
}

TEST(Checker, VerdictIsLoadFiles) {
    const std::vector<std::string> tokens = Split(
        "\\HS|\\HE|\\GS|\\GE|STO | |\r\n|\n|\xB1|\\[TYPE=3\\]|\\[SZAUDIO=5\\]|\\[SZAUDIO=x\\]|ab",
        '|');
    const int n = static_cast<int>(tokens.size());
    TempDir dir;
    const std::string path = dir.Path("\xC6\xE5.gib");  // 棋.gib
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = std::uniform_int_distribution<int>(0, 30)(rng); i > 0; --i) {
            text += tokens[std::uniform_int_distribution<int>(0, n - 1)(rng)];
        }
        WriteBytes(path, text);
        LoadVerdict verdict;
        Check(path, static_cast<long long>(text.size()), verdict);
        const Loaded r(path);
        EXPECT_EQ(verdict.error, r.result ? 0 : r.error) << Shown(text);
        if (r.result) {
            EXPECT_EQ(verdict.header, r.header) << Shown(text);
            std::remove(r.bodyPath.str().c_str());
            std::remove(r.audioPath.str().c_str());
        }
    }
}

// Body lines as readers get them: a line past the reader's piece, the rest of the \GS line with
// its blanks, and the pieces of a \GE line that holds several STO records.
TEST(Checker, JudgesBodyLinesAsWrittenByTheirLines) {
    const std::string longLine(70000, 'y');
    const std::pair<std::string, std::string> cases[] = {
        {"\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\nxx\r\n" + longLine + "\r\n\\GE\r\n",
         "6 7 "},
        {"\\HS\\[TYPE=1\\]\\HE\r\n\\GS STO 1\r\nSTO a STO b GE c\\GE\r\n", "2 3 "},
        {"\\HS\\[TYPE=1\\]\\HE\r\n\\GS\r\nSTO " + longLine + " STO b\\GE\r\n", ""},
        {"\\HS\\[TYPE=1\\]\\HE\r\n\\GS\r\n" + longLine + "\\GE\r\n", "3 "},
    };
    TempDir dir;
    for (const auto& [text, lines] : cases) {
        WriteBytes(dir.Path("b.gib"), text);
        LoadVerdict verdict;
        std::string got;
        for (const Problem& p :
             Check(dir.Path("b.gib"), static_cast<long long>(text.size()), verdict)) {
            EXPECT_EQ(p.message, "body line is not an STO record");
            got += std::to_string(p.line) + " ";
        }
        EXPECT_EQ(got, lines) << Shown(text.substr(0, 80));
        EXPECT_EQ(verdict.error, 0u);
    }
}

#ifndef _WIN32
// A descriptor that cannot seek (a pipe) is a read error, never an empty file.
TEST(Input, ReadAtRefusesWhatCannotSeek) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    char buf[4];
    size_t got = 9;
    std::string error;
    EXPECT_FALSE(ReadAt(fds[0], 0, buf, sizeof buf, got, error));
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(error, "read error: " + SystemReason(ESPIPE));
    ::close(fds[0]);
    ::close(fds[1]);
}
#endif

}  // namespace
