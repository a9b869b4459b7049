// Generated inputs of the benchmarks and of the timing driver: record files, parameter texts,
// game-information texts and reference files, written into a temporary directory.
#ifndef GIBO_BENCH_RECORDS_H
#define GIBO_BENCH_RECORDS_H

#include <cstddef>
#include <string>

namespace gibo_bench {

// A fresh directory under the system's temporary directory, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

private:
    std::string m_dir;
};

// The three record shapes the file benchmarks and bench/compare measure.
struct RecordShape {
    const char* name;
    int nBodyLines;
    size_t nAudioBytes;
};
extern const RecordShape kSmall;  // a few KiB: 60 body lines, 1 KiB of audio
extern const RecordShape kLarge;  // 64 MiB of audio behind a short body
extern const RecordShape kLong;   // 100,000 body lines, no audio

// Writes a record file of the given shape, as the writer lays it out (CR LF line ends).
void WriteRecord(const std::string& path, const RecordShape& shape);

// A parameter text of n items \[TAGi=value\] CR LF; item i has the tag "TAG<i>".
std::string ParamText(int nItems);

// Game-information texts of a typical record, in the code-letter and the compact vocabulary.
extern const char kLetterInfo[];
extern const char kCompactInfo[];
// The parameter text a record with kLetterInfo carries (its move count is read from it).
std::string LetterRecordParams();

// Writes nBlocks reference blocks with an explanation and a small game each.
void WriteReferences(const std::string& path, int nBlocks);

}  // namespace gibo_bench

#endif  // GIBO_BENCH_RECORDS_H
