// The library side of bench/compare: operations on generated files, timed inside the process
// so that only the library's work is measured.
//
//   gibo_timing gen DIR                  writes small.gib, large.gib and long.gib into DIR
//   gibo_timing load RECORD...           loads each record; prints the mean seconds of one
//   gibo_timing save RECORD...           loads each record (untimed), then saves each to
//                                        RECORD.saved; prints the mean seconds of one save
//   gibo_timing durable DIR FILE...      copies each FILE into DIR the durable way (below);
//                                        prints the mean seconds of one copy
//   gibo_timing parse letters|compact N  N interpretations with the six derived fields (or
//                                        MakeData); prints the mean microseconds of processor
//                                        time of one (pure computation: on a busy machine the
//                                        wall clock would count other programs' turns too)
//
// Each record of a run is a file of its own, as are the files a cp run copies: a file written
// moments ago is still being written out by the system, and emptying it again waits for that.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

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

int TimeLoad(const std::vector<std::string>& records) {
    CGiboFile gibo;
    CString body, audio;
    unsigned char type = 0;
    const auto start = Clock::now();
    for (const std::string& record : records) {
        if (!Load(gibo, record.c_str(), body, audio, type)) {
            return Fail("LoadFile failed");
        }
    }
    std::printf("%.9f\n", Seconds(start) / static_cast<double>(records.size()));
    return 0;
}

int TimeSave(const std::vector<std::string>& records) {
    struct Loaded {
        CGiboFile gibo;
        CString body, audio;
        unsigned char type = 0;
    };
    std::vector<Loaded> loaded(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        Loaded& l = loaded[i];
        if (!Load(l.gibo, records[i].c_str(), l.body, l.audio, l.type)) {
            return Fail("LoadFile failed");
        }
    }
    // The side files just written go to disk untimed: SaveFile's sync would wait for them too,
    // as the journal commits them with the record.
    ::sync();
    const auto start = Clock::now();
    for (size_t i = 0; i < records.size(); ++i) {
        Loaded& l = loaded[i];
        if (!l.gibo.SaveFile(l.type, (records[i] + ".saved").c_str(), l.body, l.audio)) {
            return Fail("SaveFile failed");
        }
    }
    std::printf("%.9f\n", Seconds(start) / static_cast<double>(records.size()));
    return 0;
}

// The durable copy a careful user makes, the baseline of a durable SaveFile: cp's copy in the
// system to a temporary beside the target, that file's data on disk, a rename over the target,
// the directory entry on disk. Timed in this process, like the library: the four processes of
// the same steps in a shell start in more time than the copy takes, and taking their start off
// left a figure mostly of noise.
bool DurableCopy(const std::string& from, const std::string& dir, int dirFd) {
    const std::string name = from.substr(from.find_last_of('/') + 1);
    const std::string temp = dir + "/." + name + ".tmp";
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = in >= 0 && out >= 0;
    for (ssize_t n = 1; ok && n > 0;) {
        n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        ok = n >= 0;
    }
    ok = ok && ::fsync(out) == 0;
    ok = (in < 0 || ::close(in) == 0) && ok;
    ok = (out < 0 || ::close(out) == 0) && ok;
    return ok && ::rename(temp.c_str(), (dir + "/" + name).c_str()) == 0 && ::fsync(dirFd) == 0;
}

int TimeDurableCopy(const std::string& dir, const std::vector<std::string>& files) {
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return Fail("cannot open the target directory");
    }
    const auto start = Clock::now();
    for (const std::string& file : files) {
        if (!DurableCopy(file, dir, dirFd)) {
            ::close(dirFd);
            return Fail("durable copy failed");
        }
    }
    std::printf("%.9f\n", Seconds(start) / static_cast<double>(files.size()));
    ::close(dirFd);
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
    const std::clock_t start = std::clock();
    for (int i = 0; i < n; ++i) {
        gibo.ParsingTagData(text.data());
        if (compact) {
            gibo.MakeData();
        }
    }
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
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
        if (args.size() >= 2 && (args[0] == "load" || args[0] == "save")) {
            const std::vector<std::string> records(args.begin() + 1, args.end());
            return args[0] == "load" ? TimeLoad(records) : TimeSave(records);
        }
        if (args.size() >= 3 && args[0] == "durable") {
            return TimeDurableCopy(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        }
        if (args.size() == 3 && args[0] == "parse") {
            return TimeParse(args[1], std::atoi(args[2].c_str()));
        }
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return Fail(
        "usage: gen DIR | load RECORD... | save RECORD... | durable DIR FILE... | "
        "parse letters|compact N");
}
