#include "Records.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "GiboFile.h"

namespace gibo_bench {

namespace fs = std::filesystem;

const RecordShape kSmall = {"small", 60, 1024};
const RecordShape kLarge = {"large", 200, size_t{64} << 20};
const RecordShape kLong = {"long", 100000, 0};

// GBK: 第1届名人战 (the 1st Meijin), 上海 (Shanghai), 总:211数 (211 moves in all).
const char kLetterInfo[] = "S1,R0,D65,W0,Z65,T30-3-3600,C2013:1:7:14:5,IXhong,LX27,MXlee,NX26";
const char kCompactInfo[] =
    "GBKIND:1,GTYPE:2,GTIME:600-30-3,GDATE:2012-12-5-14-7-0,WID:kim01,WLV:20,BID:lee02,BLV:19,"
    "GCDT:3,GRLT:4,TCNT:211,GNAME:\xC6\xE5\xCA\xA5,";

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "gibo_bench_XXXXXX").string();
    if (!mkdtemp(&pattern[0])) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    m_dir = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
}

namespace {

struct Out {
    explicit Out(const std::string& path) : fp(std::fopen(path.c_str(), "wb")) {
        if (!fp) {
            throw std::runtime_error("cannot write " + path);
        }
    }
    ~Out() { std::fclose(fp); }
    void Put(const std::string& s) { std::fwrite(s.data(), 1, s.size(), fp); }
    FILE* fp;
};

std::string RecordHeader(size_t nAudio) {
    std::string h = "\\HS\r\n\\[TYPE = 2\\]\r\n\\[SZAUDIO = " + std::to_string(nAudio) + "\\]\r\n";
    h += "\\[GAMENAME=\xB5\xDA"
         "1\xBD\xEC\xC3\xFB\xC8\xCB\xD5\xBD\\]\r\n";
    h += "\\[GAMEPLACE=\xC9\xCF\xBA\xA3\\]\r\n";
    h += "\\[GAMETOTALNUM=\xD7\xDC:211\xCA\xFD\\]\r\n";
    h += std::string("\\[GAMEINFOMAIN=") + kLetterInfo + "\\]\r\n";
    h += "\\[GAMEWHITENAME=hong\\]\r\n\\[GAMEBLACKNAME=lee\\]\r\n\\HE\r\n";
    return h;
}

}  // namespace

void WriteRecord(const std::string& path, const RecordShape& shape) {
    Out out(path);
    out.Put(RecordHeader(shape.nAudioBytes));
    out.Put("\\GS\r\n");
    std::string lines;
    for (int i = 1; i <= shape.nBodyLines; ++i) {
        lines += "STO 0 " + std::to_string(i) + " " + std::to_string((i + 1) % 2 + 1) + " " +
                 std::to_string(i * 7 % 19) + " " + std::to_string(i * 11 % 19) + "\r\n";
        if (lines.size() > (1 << 16)) {
            out.Put(lines);
            lines.clear();
        }
    }
    out.Put(lines);
    out.Put("\\GE\r\n");
    // Audio of every byte value, line ends and backslashes included.
    std::vector<char> chunk(size_t{1} << 20);
    uint32_t x = 2463534242u;
    for (size_t left = shape.nAudioBytes; left > 0;) {
        const size_t n = left < chunk.size() ? left : chunk.size();
        for (size_t i = 0; i < n; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            chunk[i] = static_cast<char>(x);
        }
        std::fwrite(chunk.data(), 1, n, out.fp);
        left -= n;
    }
}

std::string ParamText(int nItems) {
    std::string s;
    for (int i = 0; i < nItems; ++i) {
        s += "\\[TAG" + std::to_string(i) + "=value " + std::to_string(i) + "\\]\r\n";
    }
    return s;
}

std::string LetterRecordParams() {
    const std::string h = RecordHeader(0);
    return h.substr(5, h.size() - 10);  // without the \HS and \HE lines
}

void WriteReferences(const std::string& path, int nBlocks) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        throw std::runtime_error("cannot write " + path);
    }
    CGiboFile gibo;
    std::string game;
    for (int i = 1; i <= 12; ++i) {
        game += "STO 0 " + std::to_string(i) + " 1 3 " + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < nBlocks; ++i) {
        const std::string explain = "variation " + std::to_string(i) + ": black cuts here";
        gibo.AppendReference(&file, static_cast<unsigned short>(i), explain.c_str(),
                             static_cast<unsigned short>(i % 7),
                             reinterpret_cast<unsigned char*>(&game[0]),
                             static_cast<int>(game.size()));
    }
    file.Close();
}

}  // namespace gibo_bench
