// Interpreting game information, reading and changing header items, and result lookups.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "GiboFile.h"
#include "Records.h"

namespace {

// ParsingTagData takes a writable text; it does not change it, so one copy serves all runs.
std::vector<char> Writable(const char* psz) {
    const std::string s(psz);
    std::vector<char> v(s.begin(), s.end());
    v.push_back('\0');
    return v;
}

// Code letters: the items, then the six derived fields (the move count from the header).
void BM_ParsingTagData_Letters(benchmark::State& state) {
    CGiboFile gibo;
    gibo.m_strHeader = gibo_bench::LetterRecordParams().c_str();
    std::vector<char> text = Writable(gibo_bench::kLetterInfo);
    for (auto _ : state) {
        benchmark::DoNotOptimize(gibo.ParsingTagData(text.data()));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParsingTagData_Letters);

// Compact header: the items, then its display texts.
void BM_ParsingTagData_Compact(benchmark::State& state) {
    CGiboFile gibo;
    gibo.SetNewFormat(1);
    std::vector<char> text = Writable(gibo_bench::kCompactInfo);
    for (auto _ : state) {
        benchmark::DoNotOptimize(gibo.ParsingTagData(text.data()));
        gibo.MakeData();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParsingTagData_Compact);

// The last item of the header: the whole text is searched.
void BM_GetParam(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CGiboFile gibo;
    gibo.m_strHeader = gibo_bench::ParamText(n).c_str();
    const CString tag = ("TAG" + std::to_string(n - 1)).c_str();
    for (auto _ : state) {
        int bFound = 0;
        benchmark::DoNotOptimize(gibo.GetParam(tag, bFound));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_GetParam)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);

// Replacing the value of the last item, and adding an item to a header that lacks it (the new
// item is taken off again outside the timing).
void BM_SetParam_Replace(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CGiboFile gibo;
    gibo.m_strHeader = gibo_bench::ParamText(n).c_str();
    const CString tag = ("TAG" + std::to_string(n - 1)).c_str();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gibo.SetParam(tag, (i++ & 1) ? " new value " : "value"));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_SetParam_Replace)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);

void BM_SetParam_Add(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CGiboFile gibo;
    const CString header = gibo_bench::ParamText(n).c_str();
    for (auto _ : state) {
        state.PauseTiming();
        gibo.m_strHeader = header;
        state.ResumeTiming();
        benchmark::DoNotOptimize(gibo.SetParam("GAMEPLACE", "Seoul"));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_SetParam_Add)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);

// Going through a text with Find(text, start), as a host splits a list: linear in the text's
// length, double-byte characters and all. GBK: 黑白 (black and white).
void BM_FindLoop(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += "\xBA\xDA\xB0\xD7,";
    }
    const CString s = text.c_str();
    for (auto _ : state) {
        int count = 0;
        for (int at = s.Find(",", 0); at >= 0; at = s.Find(",", at + 1)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_FindLoop)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);

// Replacing every one of n double-byte characters.
void BM_Replace(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += "\xBA\xDA";
    }
    const CString original = text.c_str();
    for (auto _ : state) {
        CString s = original;
        benchmark::DoNotOptimize(s.Replace("\xBA\xDA", "\xB0\xD7"));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_Replace)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN);

// A result text found among the first rows, one found by containment (a win by score), and one
// that matches nothing and so is compared with every row.
void BM_CompareOtherNationResult(benchmark::State& state, const char* pszResult) {
    CGiboFile gibo;
    const CString result = pszResult;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gibo.CompareOtherNationResult(result));
    }
}
// GBK: 和棋 (draw); 黑 6目 胜 (black wins by 6 points).
BENCHMARK_CAPTURE(BM_CompareOtherNationResult, draw, "\xBA\xCD\xC6\xE5");
BENCHMARK_CAPTURE(BM_CompareOtherNationResult, by_points, "\xBA\xDA 6\xC4\xBF \xCA\xA4");
BENCHMARK_CAPTURE(BM_CompareOtherNationResult, no_match, "no such result at all");

}  // namespace
