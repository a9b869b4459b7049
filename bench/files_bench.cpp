// Loading and saving whole records, and reading every reference block of a file.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GiboFile.h"
#include "Records.h"

namespace {

using gibo_bench::RecordShape;
using gibo_bench::TempDir;

int64_t FileSize(const std::string& path) {
    return static_cast<int64_t>(std::filesystem::file_size(path));
}

void BM_LoadFile(benchmark::State& state, const RecordShape& shape) {
    TempDir dir;
    const std::string record = dir.Path("record.gib");
    gibo_bench::WriteRecord(record, shape);
    CGiboFile gibo;
    for (auto _ : state) {
        CString body, audio;
        unsigned char type = 0;
        int bAudio = 0;
        if (!gibo.LoadFile(record.c_str(), body, audio, type, bAudio)) {
            state.SkipWithError("LoadFile failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * FileSize(record));
}

void BM_SaveFile(benchmark::State& state, const RecordShape& shape) {
    TempDir dir;
    const std::string record = dir.Path("record.gib");
    gibo_bench::WriteRecord(record, shape);
    CGiboFile gibo;
    CString body, audio;
    unsigned char type = 0;
    int bAudio = 0;
    if (!gibo.LoadFile(record.c_str(), body, audio, type, bAudio)) {
        state.SkipWithError("LoadFile failed");
        return;
    }
    const std::string saved = dir.Path("saved.gib");
    for (auto _ : state) {
        if (!gibo.SaveFile(type, saved.c_str(), body, audio)) {
            state.SkipWithError("SaveFile failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * FileSize(saved));
}

BENCHMARK_CAPTURE(BM_LoadFile, small, gibo_bench::kSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadFile, large_64MiB, gibo_bench::kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, long_100k_lines, gibo_bench::kLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveFile, small, gibo_bench::kSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SaveFile, large_64MiB, gibo_bench::kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveFile, long_100k_lines, gibo_bench::kLong)->Unit(benchmark::kMillisecond);

// Every block of a file of 10,000, read one after the other as a host walks them.
void BM_GetReference(benchmark::State& state) {
    TempDir dir;
    const std::string path = dir.Path("refs.txt");
    const int nBlocks = 10000;
    gibo_bench::WriteReferences(path, nBlocks);
    CGiboFile gibo;
    for (auto _ : state) {
        CStdioFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeText)) {
            state.SkipWithError("cannot open the reference file");
            break;
        }
        int nRead = 0;
        for (;;) {
            int bFound = 0;
            unsigned short wSusun = 0, wRefNum = 0;
            CString explain;
            int nLen = 0;
            unsigned char* game = gibo.GetReference(&file, bFound, wSusun, explain, wRefNum, nLen);
            std::free(game);
            if (!bFound) {
                break;
            }
            ++nRead;
        }
        if (nRead != nBlocks) {
            state.SkipWithError("not every block was read");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * nBlocks);
}
BENCHMARK(BM_GetReference)->Unit(benchmark::kMillisecond);

}  // namespace
