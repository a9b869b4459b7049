// Record files of any bytes through LoadFile, and every loaded record through SaveFile and
// LoadFile again. The tool's checker, which judges records through the scanner without loading
// them, reaches the same verdict and the same parameter text as LoadFile. A failed load sets a
// documented error code and leaves no side file; a loaded record saves, and loads back with the
// same type, header items and audio bytes, and with its body lines as the loader writes them
// (blanks trimmed at both ends). No handle stays open. The same bytes also build a header through
// SetParam and ReplaceParam and a body: SaveFile either refuses (a \HE in the header or a \GE in
// the body) and keeps the old record, or the record loads back with that header and every byte of
// that body.
#include <algorithm>
#include <string>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "GiboFile.h"
#include "framework/FileSystem.h"
#include "framework/Gbk.h"
#include "record/checker.h"

namespace {

// Text as the loader reads it: each line (LF ends it, a CR before the LF goes with it) ended
// with CR LF, and trimmed of blanks at both ends when it is a body line.
std::string Lines(const std::string& text, bool trim) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        std::string line =
            text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        start = lf == std::string::npos ? text.size() : lf + 1;
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t first = trim ? line.find_first_not_of(' ') : 0;
        const size_t end = trim ? line.find_last_not_of(' ') + 1 : line.size();
        out +=
            (first == std::string::npos ? std::string() : line.substr(first, end - first)) + "\r\n";
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

bool HoldsMarker(const std::string& text, const char* pszMarker) {
    return gibo::GbkFind(text.data(), text.size(), pszMarker, 3) != gibo::kNpos;
}

std::string WithoutLineEndsAndBlanks(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return c == ' ' || c == '\r' || c == '\n'; }),
               text.end());
    return text;
}

// Any header text, changed through SetParam and ReplaceParam (which keeps backslashes), and any
// body: a refused save keeps the old record, and only for a marker that would end the header or
// the body early; a saved record loads back with the header's lines and every byte of the body
// but the blanks and line ends that the loader trims and adds.
void SaveAnyHeaderAndBody(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CGiboFile record;
    const std::string text = in.Bytes();
    record.m_strHeader = CString(text.data(), static_cast<int>(text.size()));
    for (int k = in.Byte() % 6; k > 0; --k) {
        const std::string tag = in.Text(), value = in.Text();
        if (in.Byte() % 2) {
            record.SetParam(tag.c_str(), value.c_str());
        } else {
            record.ReplaceParam(tag.c_str(), value.c_str());
        }
    }
    const unsigned char type = in.Byte();
    const std::string body = in.Rest(), path = FuzzPath("h.gib"), bodyPath = FuzzPath("h.lbk");
    PutFile(path, "OLD");
    PutFile(bodyPath, body);
    const std::string header = record.m_strHeader.str();
    if (!record.SaveFile(type, path.c_str(), bodyPath.c_str(), "")) {
        FUZZ_CHECK(record.GetError() == GIBO_ERR_CREATE && GetFile(path) == "OLD");
        const bool headerRefused = HoldsMarker(header, "\\HE");
        FUZZ_CHECK(headerRefused || HoldsMarker(body, "\\GE"));
        FUZZ_CHECK(!headerRefused || record.m_strHeader.str() == header);  // checked first
    } else {
        CGiboFile back;
        const Loaded loaded = Load(back, path);
        FUZZ_CHECK(loaded.ok == 1 && loaded.type == type && !loaded.hasAudio);
        const std::string lines = Lines(record.m_strHeader.str(), false);
        const std::string& got = back.m_strHeader.str();
        FUZZ_CHECK(got.size() >= lines.size() &&
                   got.compare(got.size() - lines.size(), lines.size(), lines) == 0);
        FUZZ_CHECK(WithoutLineEndsAndBlanks(loaded.body) == WithoutLineEndsAndBlanks(body));
        std::remove(loaded.bodyPath.str().c_str());
    }
    std::remove(path.c_str());
    std::remove(bodyPath.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SaveAnyHeaderAndBody(data, size);

    const std::string a = FuzzPath("a.gib"), b = FuzzPath("b.gib"), c = FuzzPath("c.gib");
    PutFile(a, std::string(reinterpret_cast<const char*>(data), size));

    CGiboFile first;
    const Loaded one = Load(first, a);
    LoadVerdict verdict;
    {
        gibo::Fd fd;
        FUZZ_CHECK(gibo::OpenFile(a.c_str(), gibo::kRead, fd) == 0);
        CheckRecord(fd.Get(), static_cast<long long>(size), verdict);
    }
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
    FUZZ_CHECK(two.body == Lines(one.body, true));
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
