// gibo check: validates records.
#include <algorithm>

#include "GiboFile.h"
#include "cli/batch.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "os/input.h"
#include "record/checker.h"

namespace {

const char kHelp[] =
    "Usage: gibo check [OPTIONS] RECORD... [-r DIR]...\n"
    "\n"
    "Validates records and reports each problem with its line number: no header, an\n"
    "unterminated header or body, an item without '=' or closer, a TYPE out of range, an\n"
    "SZAUDIO that does not fit the file (errors); duplicated tags, a missing TYPE, body lines\n"
    "that are not STO records (warnings). A record the library cannot load is an error too.\n"
    "Exit status 1 when any record has an error.\n"
    "\n"
    "  -r DIR             also every *.gib file below DIR (may be repeated)\n";

// One JSON object, or compiler-style lines that editors can jump to.
void Report(Tool& tool, const std::string& path, const std::vector<Problem>& problems, Codepage cp,
            bool failed) {
    if (tool.Json()) {
        Value v = tool.Result(path);
        v.Add("ok", Value::Flag(!failed));
        Value& list = v.Add("problems", Value::List());
        for (const Problem& p : problems) {
            Value& item = list.Push(Value::Map());
            item.Add("line", p.line ? Value::Num(p.line) : Value());
            item.Add("severity", Value::Str(p.error ? "error" : "warning"));
            item.Add("message", Value::Str(tool.Header(p.message, cp)));
        }
        tool.Emit(v);
        return;
    }
    std::string report;
    for (const Problem& p : problems) {
        report += path + (p.line ? ":" + std::to_string(p.line) : std::string()) + ": " +
                  (p.error ? "error: " : "warning: ") + tool.Header(p.message, cp) + "\n";
    }
    if (!failed) {
        const size_t n = problems.size();
        report += path + ": ok" +
                  (n == 0 ? std::string()
                          : " (" + std::to_string(n) + " warning" + (n > 1 ? "s" : "") + ")") +
                  "\n";
    }
    tool.Emit(Value::Str(report.substr(0, report.size() - 1)));
}

// Checks and reports one record; false when it has an error.
bool CheckOne(Tool& tool, const std::string& path, Progress& progress) {
    std::vector<Problem> problems;
    LoadVerdict load;  // the library's verdict, and the header for the messages' code page
    try {
        InputFile in;
        std::string error;
        problems = in.Open(path, error)
                       ? CheckRecord(in.Fd(), in.Size(), load)
                       : std::vector<Problem>{{0, true, "cannot read the file (" + error + ")"}};
    } catch (const std::exception& e) {
        problems.push_back({0, true, std::string("unexpected failure: ") + e.what()});
    }
    if (load.error != 0) {
        problems.push_back({0, true, "the library cannot load it: " + LoadErrorText(load.error)});
    }
    // Only messages quote header values: a clean record needs no detection.
    const Codepage cp = problems.empty() ? Codepage::Gbk : tool.ChooseCodepage(load.header).cp;
    const bool failed =
        std::any_of(problems.begin(), problems.end(), [](const Problem& p) { return p.error; });
    progress.Clear();
    Report(tool, path, problems, cp, failed);
    return !failed;
}

int RunCheck(Tool& tool, const Args& args) {
    std::vector<std::string> records;
    std::vector<Unreadable> unreadable;
    std::string error;
    if (!CollectRecords(args.operands, args.GetAll("-r"), records, unreadable, error)) {
        return tool.Usage(error);
    }
    int status = kExitOk;
    for (const Unreadable& u : unreadable) {
        status = tool.Fail(u.path, u.reason);
    }
    Progress progress(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        progress.Show(i, records[i]);
        if (!CheckOne(tool, records[i], progress)) {
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

Command CheckCommand() {
    return {"check",
            "validate records and report problems with line numbers",
            kHelp,
            {{"-r", true, true}},
            RunCheck};
}
