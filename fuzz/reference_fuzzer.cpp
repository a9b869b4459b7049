// Reference blocks: a file of any bytes read block by block with GetReference, and a block
// written by AppendReference read back with the values the writer's format keeps. The caller
// owns and frees every buffer; nothing is read past one, and no handle stays open.
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "GiboFile.h"

namespace {

// Text a block can carry: no NUL, no backslash (so no closer and no \RE), lines ended by CR LF.
std::string BlockText(const std::string& raw) {
    std::string out;
    for (char c : raw) {
        if (c == '\n') {
            out += "\r\n";
        } else if (c != '\0' && c != '\\' && c != '\r') {
            out += c;
        }
    }
    return out;
}

// The game bytes a block keeps: a lead byte (0x81-0xFE) at the end that is no character with a
// second byte (0x40-0x7E, 0x80-0xFE) would take the closer's backslash, and is dropped.
std::string Kept(const std::string& game) {
    size_t i = 0, last = 0;
    while (i < game.size()) {
        const auto c = static_cast<unsigned char>(game[i]);
        const auto d = static_cast<unsigned char>(i + 1 < game.size() ? game[i + 1] : 0);
        last = i;
        i += c >= 0x81 && c <= 0xFE && d >= 0x40 && d != 0x7F && d != 0xFF ? 2 : 1;
    }
    const auto c = static_cast<unsigned char>(game.empty() ? 0 : game[last]);
    return last + 1 == game.size() && c >= 0x81 && c <= 0xFE ? game.substr(0, last) : game;
}

std::string TrimLeftWhite(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n\v\f");
    return first == std::string::npos ? std::string() : s.substr(first);
}

void ReadAll(CGiboFile& record, const std::string& path) {
    CStdioFile file;
    FUZZ_CHECK(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    for (int k = 0; k < 64; ++k) {
        int found = 0, len = -1;
        unsigned short susun = 0, refnum = 0;
        CString explain;
        unsigned char* gibo = record.GetReference(&file, found, susun, explain, refnum, len);
        FUZZ_CHECK(len >= 0);
        if (gibo) {
            volatile unsigned sum = 0;
            for (int i = 0; i < len; ++i) {
                sum = sum + gibo[i];  // every byte readable, none beyond
            }
            std::free(gibo);
        }
        if (!found) {
            FUZZ_CHECK(gibo == nullptr);
            break;
        }
    }
    file.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const unsigned short susun = static_cast<unsigned short>(in.Int(0, 65535));
    const unsigned short refnum = static_cast<unsigned short>(in.Int(0, 65535));
    const std::string explain = BlockText(in.Bytes());
    const std::string game = BlockText(in.Bytes());
    const std::string path = FuzzPath("refs.txt");
    PutFile(path, in.Rest());
    const int fds = OpenDescriptors();

    CGiboFile record;
    ReadAll(record, path);

    // A block written to a file of its own, then a second one after it: each reads back.
    const std::string mine = FuzzPath("mine.txt");
    std::remove(mine.c_str());
    for (int round = 0; round < 2; ++round) {
        CFile out;
        FUZZ_CHECK(out.Open(mine.c_str(), CFile::modeWrite | CFile::modeNoTruncate |
                                              CFile::modeCreate | CFile::typeBinary));
        std::string bytes = game;
        FUZZ_CHECK(record.AppendReference(&out, susun,
                                          CString(explain.data(), static_cast<int>(explain.size())),
                                          refnum, reinterpret_cast<unsigned char*>(&bytes[0]),
                                          static_cast<int>(bytes.size())) == 1);
        out.Close();
    }
    CStdioFile file;
    FUZZ_CHECK(file.Open(mine.c_str(), CFile::modeRead | CFile::typeText));
    const std::string wantExplain =
        explain.empty() ? std::string() : TrimLeftWhite(explain + "\r\n");
    const std::string kept = Kept(game);
    const std::string wantGame = kept.empty() ? std::string() : TrimLeftWhite(" \r\n" + kept);
    for (int round = 0; round < 3; ++round) {
        int found = 0, len = -1;
        unsigned short gotSusun = 0, gotRefnum = 0;
        CString gotExplain;
        unsigned char* got =
            record.GetReference(&file, found, gotSusun, gotExplain, gotRefnum, len);
        if (round == 2) {
            FUZZ_CHECK(found == 0 && got == nullptr);
            break;
        }
        FUZZ_CHECK(found == 1 && gotSusun == susun && gotRefnum == refnum);
        FUZZ_CHECK(gotExplain.str() == wantExplain);
        FUZZ_CHECK(len == static_cast<int>(wantGame.size()));
        if (kept.empty()) {
            FUZZ_CHECK(got == nullptr);  // no REFGIBO item written
        } else if (!wantGame.empty()) {
            FUZZ_CHECK(got && std::memcmp(got, wantGame.data(), wantGame.size()) == 0);
        }
        std::free(got);
    }
    file.Close();
    FUZZ_CHECK(OpenDescriptors() == fds);
    std::remove(path.c_str());
    std::remove(mine.c_str());
    return 0;
}
