// The tool's command line and output: options, numbers, TAG=VALUE, JSON strings, and what
// reaches a terminal. Whole outputs are pinned by tests/tool/pins.sh.
#include <gtest/gtest.h>

#include <filesystem>

#include "../TestSupport.h"
#include "cli/args.h"
#include "cli/batch.h"
#include "cli/errors.h"
#include "cli/output_tree.h"
#include "cli/tool.h"

namespace {

const std::vector<OptionSpec> kSpecs = {{"--info", true}, {"-r", true, true}, {"--full", false}};

TEST(Args, TakeOptionsInEitherFormAndOperandsAnywhere) {
    struct Case {
        std::vector<std::string> argv;
        std::vector<std::string> operands, infos, dirs;
        bool full;
    };
    const Case cases[] = {
        {{"a", "--info", "x", "b"}, {"a", "b"}, {"x"}, {}, false},
        {{"--info=x=y", "--full"}, {}, {"x=y"}, {}, true},
        {{"--info", "-r", "-r", "d1"}, {}, {"-r"}, {"d1"}, false},
        {{"-r", "d1", "-r", "d2", "-", "--", "--full", "-r"},
         {"-", "--full", "-r"},
         {},
         {"d1", "d2"},
         false},
    };
    for (const Case& c : cases) {
        Args args;
        std::string error;
        ASSERT_TRUE(args.Parse(c.argv, kSpecs, error)) << error;
        EXPECT_EQ(args.operands, c.operands);
        EXPECT_EQ(args.GetAll("--info"), c.infos);
        EXPECT_EQ(args.GetAll("-r"), c.dirs);
        EXPECT_EQ(args.Get("-r"), c.dirs.empty() ? "" : c.dirs.back());
        EXPECT_EQ(args.Has("--full"), c.full);
    }
}

TEST(Args, RefuseWhatTheCommandDoesNotTake) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"-r=d"}, "unknown option -r=d"},  // only long options take "=value"
        {{"--info"}, "option --info needs a value"},
        {{"--full=1"}, "option --full takes no value"},
        {{"--info", "a", "--info=b"}, "option --info given twice"},
        {{"--json", "--encoding"}, "option --encoding needs a value"},  // the options of all
    };
    for (const auto& c : cases) {
        Args args;
        std::string error;
        EXPECT_FALSE(args.Parse(c.first, kSpecs, error));
        EXPECT_EQ(error, c.second);
    }
}

TEST(ParseNumber, TakesWholeNumbersInRangeOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true},  {"255", true},  {"256", false}, {"-1", false},
        {"", false},  {"1x", false},  {"x", false},   {"99999999999999999999999", false},
        {"07", true}, {"1.5", false},
    };
    for (const auto& c : cases) {
        long n = -7;
        EXPECT_EQ(ParseNumber(c.first, 0, 255, n), c.second) << c.first;
        EXPECT_EQ(n, c.second ? std::stol(c.first) : -7) << c.first;
    }
}

// Configures a tool with the options given.
void Configure(Tool& tool, const std::vector<std::string>& options) {
    Args args;
    std::string error;
    EXPECT_TRUE(args.Parse(options, {}, error) && tool.Configure(args, error)) << error;
}

TEST(ParseAssignment, SplitsAtTheFirstEqualsAndConvertsToTheHeadersCodepage) {
    struct Case {
        std::vector<std::string> options;
        const char* text;
        const char* tag;  // null: refused
        const char* value;
    };
    const Case cases[] = {
        {{}, "GAMENAME=名人战=x", "GAMENAME", "\xc3\xfb\xc8\xcb\xd5\xbd=x"},
        {{"--encoding", "cp949"}, "명=인", "\xb8\xed", "\xc0\xce"},
        {{"--raw"}, "T=\xc0\xee", "T", "\xc0\xee"},
        {{}, "GAMENAME=", "GAMENAME", ""},
        {{}, "=x", nullptr, nullptr},
        {{}, "A B=x", nullptr, nullptr},
        {{}, "A\\=x", nullptr, nullptr},
        {{}, "A\t=x", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        Tool tool("set", "UTF-8");
        Configure(tool, c.options);
        std::string tag, value, error;
        const bool ok = ParseAssignment(tool, c.text, tag, value, error);
        EXPECT_EQ(ok, c.tag != nullptr) << c.text << ": " << error;
        if (ok && c.tag) {
            EXPECT_EQ(tag, c.tag) << c.text;
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(Tool, KeepsEscapeSequencesFromTheTerminal) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\tb\nc", "a\tb\nc"},
        {"\x1b]0;x\x07", "\\x1B]0;x\\x07"},
        {"del\x7f", "del\\x7F"},
        {"\xc2\x80 \xc2\x9f", "\\xC2\\x80 \\xC2\\x9F"},  // the first and last C1 controls
        {"\xc2\xa0 \xc2", "\xc2\xa0 \xc2"},              // no control, and a cut sequence
    };
    Tool tool("show", "UTF-8"), raw("show", "UTF-8");
    Configure(raw, {"--raw"});
    for (const auto& c : cases) {
        EXPECT_EQ(tool.Harmless(c.first), c.second);
    }
    EXPECT_EQ(tool.Harmless("a\tb\nc", true), "a\\x09b\\x0Ac");  // a message is one line
    // Raw bytes are no UTF-8: 0xC2 0x9B may be a character of the record's code page.
    EXPECT_EQ(raw.Harmless("\xc2\x9b\x1b"), "\xc2\x9b\\x1B");
}

// Load and save give one code different reasons; a code neither knows gets the last row.
TEST(ErrorWords, NameEachCodeForItsOperation) {
    EXPECT_EQ(LoadErrorText(GIBO_ERR_OPEN), "0x10000001: cannot open the record for reading");
    EXPECT_EQ(SaveErrorText(GIBO_ERR_OPEN), "0x10000001: the body file does not exist");
    EXPECT_EQ(LoadErrorText(GIBO_ERR_AUDIO_CREATE).substr(12),
              "cannot create the audio file (.lao)");
    EXPECT_EQ(LoadErrorText(0x7F), "0x0000007F: the record cannot be loaded");
    EXPECT_EQ(SaveErrorText(GIBO_ERR_NO_BODY), "0x10000006: the record cannot be written");
}

TEST(OutputTree, JsonEscapesWhatJsonCannotHoldAndNothingElse) {
    EXPECT_EQ(JsonQuote("say \"hi\"\\ \r\n\t\x01\x1f\x7f 棋"),
              "\"say \\\"hi\\\"\\\\ \\r\\n\\t\\u0001\\u001f\\u007f 棋\"");
}

#ifndef _WIN32
// -r DIR: the records at any depth, each DIR's in byte order, by extension in any case; a link
// to a record is one, a link to a directory is not followed. Names in GBK and UTF-8.
TEST(Batch, CollectsTheRecordsBelowEachDirectory) {
    TempDir dir;
    for (const char* sub : {"a", "a/\xB3\x5C", "c", "empty"}) {  // 許 in Big5
        std::filesystem::create_directory(FsPath(dir.Path(sub)));
    }
    // 表 in Shift-JIS, 棋 in GBK, 기보 in CP949, 김 in UTF-8.
    for (const char* file : {"a/\x95\x5C.gib", "a/\xC6\xE5.gib", "a/\xB3\x5C/x.GIB", "a/y.gibo",
                             "c/\xB1\xE2\xBA\xB8.gib", "c/\xEA\xB9\x80.gib"}) {
        WriteBytes(dir.Path(file), "");
    }
    ASSERT_EQ(::symlink("../a", dir.Path("c/dir.gib").c_str()), 0);
    ASSERT_EQ(::symlink("../a/\xB3\x5C/x.GIB", dir.Path("c/l.gib").c_str()), 0);
    std::vector<std::string> records;
    std::vector<Unreadable> unreadable;
    std::string error;
    ASSERT_TRUE(CollectRecords({"op.gib"}, {dir.Path("a"), dir.Path("c"), dir.Path("empty")},
                               records, unreadable, error));
    std::vector<std::string> expected = {"op.gib"};
    for (const char* file : {"a/\x95\x5C.gib", "a/\xB3\x5C/x.GIB", "a/\xC6\xE5.gib", "c/l.gib",
                             "c/\xB1\xE2\xBA\xB8.gib", "c/\xEA\xB9\x80.gib"}) {
        expected.push_back(dir.Path(file));
    }
    EXPECT_EQ(records, expected);
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_EQ(unreadable[0].path, dir.Path("empty"));
    EXPECT_FALSE(CollectRecords({}, {}, records, unreadable, error));
    EXPECT_EQ(error, "no record given");
    EXPECT_FALSE(CollectRecords({}, {dir.Path("a/y.gibo")}, records, unreadable, error));
    EXPECT_EQ(error, dir.Path("a/y.gibo") + ": not a directory");
}
#endif

}  // namespace
