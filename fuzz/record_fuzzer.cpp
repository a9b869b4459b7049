// Record files of any bytes through LoadFile, and every loaded record through SaveFile and
// LoadFile again. The tool's checker, which judges records without loading them, reaches the
// same verdict and the same parameter text as LoadFile. A failed load sets a documented error code
// and leaves no side file; a loaded record saves, and loads back with the same type, header items
// and audio bytes, and with its body lines as the loader writes them (blanks trimmed at both ends).
// No handle stays open.
#include <sstream>
#include <string>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "GiboFile.h"
#include "framework/Gbk.h"
#include "record/checker.h"

namespace {

// The body file a loader writes for a body file's lines: each line read as text (LF ends it, a
// CR before the LF goes with it), trimmed of blanks at both ends, and ended with CR LF. A blank
// that is the second byte of a double-byte character stays.
std::string Reloaded(const std::string& body) {
    std::string out;
    size_t start = 0;
    while (start < body.size()) {
        size_t lf = body.find('\n', start);
        std::string line =
            body.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        start = lf == std::string::npos ? body.size() : lf + 1;
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t first = 0;
        while (first < line.size() && line[first] == ' ') {
            ++first;
        }
        size_t end = first;
        for (size_t i = first; i < line.size();) {
            const size_t len = gibo::GbkCharLen(line.data(), i, line.size());
            if (len == 2 || line[i] != ' ') {
                end = i + len;
            }
            i += len;
        }
        out += line.substr(first, end - first) + "\r\n";
    }
    return out;
}

struct Loaded {
    int ok = 0;
    unsigned char type = 0;
    int hasAudio = 0;
    std::string body, audio;
    CString bodyPath, audioPath;
};

Loaded Load(CGiboFile& record, const std::string& path) {
    Loaded r;
    const int fds = OpenDescriptors();
    r.ok = record.LoadFile(path.c_str(), r.bodyPath, r.audioPath, r.type, r.hasAudio);
    FUZZ_CHECK(OpenDescriptors() == fds);
    if (r.ok) {
        r.body = GetFile(r.bodyPath.str());
        if (r.hasAudio) {
            r.audio = GetFile(r.audioPath.str());
        } else {
            FUZZ_CHECK(r.audioPath.IsEmpty());
        }
    } else {
        FUZZ_CHECK(record.GetError() >= GIBO_ERR_OPEN && record.GetError() <= GIBO_ERR_CREATE);
        FUZZ_CHECK(r.hasAudio == 0);
    }
    return r;
}

void Save(CGiboFile& record, const Loaded& from, const std::string& path) {
    const int fds = OpenDescriptors();
    const int saved = record.SaveFile(from.type, path.c_str(), from.bodyPath, from.audioPath);
    FUZZ_CHECK(saved == 1);
    FUZZ_CHECK(OpenDescriptors() == fds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string a = FuzzPath("a.gib"), b = FuzzPath("b.gib"), c = FuzzPath("c.gib");
    PutFile(a, std::string(reinterpret_cast<const char*>(data), size));

    CGiboFile first;
    const Loaded one = Load(first, a);
    std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
    LoadVerdict verdict;
    CheckRecord(bytes, verdict);
    FUZZ_CHECK(verdict.error == (one.ok ? 0 : first.GetError()));
    FUZZ_CHECK(!one.ok || verdict.header == first.m_strHeader.str());
    if (!one.ok) {
        FUZZ_CHECK(FilesInFuzzDir() == 1);  // the record alone: no partial side file
        std::remove(a.c_str());
        return 0;
    }

    Save(first, one, b);
    CGiboFile second;
    const Loaded two = Load(second, b);
    FUZZ_CHECK(two.ok == 1);
    FUZZ_CHECK(two.type == one.type);
    FUZZ_CHECK(two.audio == one.audio && two.hasAudio == !one.audio.empty());
    FUZZ_CHECK(two.body == Reloaded(one.body));
    // The header comes back as saved, after any TYPE and SZAUDIO lines the writer put first.
    const std::string& saved = first.m_strHeader.str();
    const std::string& back = second.m_strHeader.str();
    FUZZ_CHECK(back.size() >= saved.size() &&
               back.compare(back.size() - saved.size(), saved.size(), saved) == 0);

    // Now both items stand in the header: the next round trip changes nothing at all.
    Save(second, two, c);
    CGiboFile third;
    const Loaded three = Load(third, c);
    FUZZ_CHECK(three.ok == 1 && three.type == two.type && three.audio == two.audio);
    FUZZ_CHECK(three.body == two.body);
    FUZZ_CHECK(third.m_strHeader == second.m_strHeader);

    for (const char* name :
         {"a.gib", "a.lbk", "a.lao", "b.gib", "b.lbk", "b.lao", "c.gib", "c.lbk", "c.lao"}) {
        std::remove(FuzzPath(name).c_str());
    }
    FUZZ_CHECK(FilesInFuzzDir() == 0);  // no temporary left beside a saved record
    return 0;
}
