// The library side of bench/compare: one operation repeated on generated files, timed inside
// the process so that only the library's work is measured.
//
//   gibo_timing gen DIR                  writes small.gib, large.gib and long.gib into DIR
//   gibo_timing load RECORD N            N loads; prints the mean seconds of one
//   gibo_timing save RECORD OUT N        loads RECORD once, then N saves to OUT; as above
//   gibo_timing parse letters|compact N  N interpretations with the six derived fields (or
//                                        MakeData); prints the mean microseconds of one
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "Records.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

int Fail(const char* what) {
    std::fprintf(stderr, "gibo_timing: %s\n", what);
    return 1;
}

bool Load(CGiboFile& gibo, const char* record, CString& body, CString& audio, unsigned char& type) {
    int bAudio = 0;
    return gibo.LoadFile(record, body, audio, type, bAudio) == 1;
}

int Gen(const std::string& dir) {
    for (const auto* shape : {&gibo_bench::kSmall, &gibo_bench::kLarge, &gibo_bench::kLong}) {
        gibo_bench::WriteRecord(dir + "/" + shape->name + ".gib", *shape);
    }
    return 0;
}

int TimeLoad(const char* record, int n) {
    CGiboFile gibo;
    CString body, audio;
    unsigned char type = 0;
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        if (!Load(gibo, record, body, audio, type)) {
            return Fail("LoadFile failed");
        }
    }
    std::printf("%.9f\n", Seconds(start) / n);
    return 0;
}

int TimeSave(const char* record, const char* out, int n) {
    CGiboFile gibo;
    CString body, audio;
    unsigned char type = 0;
    if (!Load(gibo, record, body, audio, type)) {
        return Fail("LoadFile failed");
    }
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        if (!gibo.SaveFile(type, out, body, audio)) {
            return Fail("SaveFile failed");
        }
    }
    std::printf("%.9f\n", Seconds(start) / n);
    return 0;
}

int TimeParse(const std::string& vocabulary, int n) {
    const bool compact = vocabulary == "compact";
    if (!compact && vocabulary != "letters") {
        return Fail("parse: letters or compact");
    }
    const std::string info = compact ? gibo_bench::kCompactInfo : gibo_bench::kLetterInfo;
    std::vector<char> text(info.begin(), info.end());
    text.push_back('\0');
    CGiboFile gibo;
    gibo.SetNewFormat(compact ? 1 : 0);
    gibo.m_strHeader = gibo_bench::LetterRecordParams().c_str();
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i) {
        gibo.ParsingTagData(text.data());
        if (compact) {
            gibo.MakeData();
        }
    }
    const double seconds = Seconds(start);
    if (gibo.GetShowGiboTitle().IsEmpty()) {
        return Fail("no title was composed");
    }
    std::printf("%.6f\n", seconds * 1e6 / n);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "gen") {
            return Gen(args[1]);
        }
        if (args.size() == 3 && args[0] == "load") {
            return TimeLoad(args[1].c_str(), std::atoi(args[2].c_str()));
        }
        if (args.size() == 4 && args[0] == "save") {
            return TimeSave(args[1].c_str(), args[2].c_str(), std::atoi(args[3].c_str()));
        }
        if (args.size() == 3 && args[0] == "parse") {
            return TimeParse(args[1], std::atoi(args[2].c_str()));
        }
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return Fail("usage: gen DIR | load RECORD N | save RECORD OUT N | parse letters|compact N");
}
