// The record checker: the library's scanner reads the record as LoadFile does and says where
// it found what; the checker judges it.
#include "record/checker.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "GiboFile.h"
#include "reading/RecordScanner.h"
#include "record/header_items.h"

namespace {

// A whole decimal number with nothing else around it but blanks; false otherwise.
bool WholeNumber(const std::string& text, long long& n) {
    const std::string t = TrimValue(text);
    if (t.empty() || t.find_first_not_of("0123456789-") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    n = std::strtoll(t.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

// What the scanner finds that the checker judges: the markers' lines, the header with one LF
// per record line, and the body lines that are no STO records (one warning a line).
class Findings : public gibo::ScanEvents {
public:
    void OnMarker(gibo::Marker marker, int64_t nLine, int64_t, int64_t) override {
        lines[static_cast<int>(marker)] = static_cast<int>(nLine);
    }
    void OnHeaderLine(const char* p, size_t n, int64_t) override {
        header.append(header.empty() && !m_bHeaderLine ? "" : "\n").append(p, n);
        m_bHeaderLine = true;
    }
    void OnBodyLine(int64_t nLine, bool bEmpty, bool bSto) override {
        if (!bEmpty && !bSto && nLine != m_nWarned) {
            problems.push_back({static_cast<int>(nLine), false, "body line is not an STO record"});
            m_nWarned = nLine;
        }
    }
    int Line(gibo::Marker marker) const { return lines[static_cast<int>(marker)]; }

    int lines[4] = {0, 0, 0, 0};  // 0: not found
    std::string header;
    std::vector<Problem> problems;

private:
    bool m_bHeaderLine = false;
    int64_t m_nWarned = 0;
};

struct ItemValue {
    std::string value;
    int line;
};

void CheckItems(const std::string& header, int firstLine, std::vector<Problem>& problems,
                std::map<std::string, ItemValue>& values) {
    std::map<std::string, int> seen;
    for (const HeaderItem& item : ListHeaderItems(header, firstLine)) {
        const std::string name = item.tag.empty() ? "(empty tag)" : item.tag;
        if (!item.closed) {
            problems.push_back({item.line, true, "item " + name + " has no closer \\]"});
        }
        if (!item.hasEquals) {
            problems.push_back({item.line, true, "item " + name + " has no '='"});
            continue;
        }
        if (item.tag.empty()) {
            problems.push_back({item.line, true, "item without a tag"});
            continue;
        }
        auto it = seen.find(item.tag);
        if (it != seen.end()) {
            problems.push_back({item.line, false,
                                "tag " + item.tag + " repeats the item of line " +
                                    std::to_string(it->second) + "; readers see only the first"});
            continue;
        }
        seen[item.tag] = item.line;
        values[item.tag] = {item.value, item.line};
    }
    if (!seen.count("TYPE")) {
        problems.push_back({firstLine, false, "no TYPE item; readers take type 0"});
    }
}

// TYPE a number from 0 to 255; SZAUDIO a byte count that fits what follows the body.
void CheckNumbers(const std::map<std::string, ItemValue>& values, long long after, bool bodyRead,
                  std::vector<Problem>& problems) {
    long long n = 0;
    auto type = values.find("TYPE");
    if (type != values.end() && (!WholeNumber(type->second.value, n) || n < 0 || n > 255)) {
        problems.push_back(
            {type->second.line, true,
             "TYPE \"" + TrimValue(type->second.value) + "\" is not a number from 0 to 255"});
    }
    auto audio = values.find("SZAUDIO");
    if (audio == values.end() || !bodyRead) {
        return;
    }
    const int at = audio->second.line;
    if (!WholeNumber(audio->second.value, n) || n < 0) {
        problems.push_back(
            {at, true, "SZAUDIO \"" + TrimValue(audio->second.value) + "\" is not a byte count"});
    } else if (n > after) {
        problems.push_back({at, true,
                            "SZAUDIO " + std::to_string(n) + " does not fit the file: " +
                                std::to_string(after) + " bytes follow the body"});
    } else if (n > 0 && n < after) {
        problems.push_back({at, false,
                            std::to_string(after - n) +
                                " bytes between the body and the audio belong to neither"});
    }
}

// What the end of the reading says: false when there is no header to check further.
bool CheckEnd(const Findings& found, unsigned long code, std::vector<Problem>& problems) {
    using gibo::Marker;
    if (code == GIBO_ERR_NO_HEADER && found.Line(Marker::Hs) == 0) {
        problems.push_back({0, true, "no header: no line holds \\HS"});
    } else if (code == GIBO_ERR_NO_HEADER) {
        problems.push_back({found.Line(Marker::Hs), true, "the header is not closed with \\HE"});
    } else if (code == GIBO_ERR_NO_BODY && found.Line(Marker::Gs) == 0) {
        problems.push_back(
            {found.Line(Marker::He), true, "no body: no line after the header holds \\GS"});
    } else if (code == GIBO_ERR_NO_BODY) {
        problems.push_back({found.Line(Marker::Gs), true, "the body is not closed with \\GE"});
    }
    return code != GIBO_ERR_NO_HEADER;
}

}  // namespace

std::vector<Problem> CheckRecord(int fd, long long size, LoadVerdict& load) {
    load = LoadVerdict();
    if (size == 0) {
        load.error = GIBO_ERR_NO_HEADER;
        return {{0, true, "the file is empty"}};
    }
    Findings found;
    CGiboFile record;
    unsigned char type = 0;
    gibo::RecordSizes sizes;
    const gibo::Failure failure = gibo::ScanRecord(fd, "", record, type, sizes, &found);
    if (failure.err != 0) {
        return {
            {0, true, std::string("cannot read the file (") + std::strerror(failure.err) + ")"}};
    }
    load.error = failure.dwCode;
    load.header = record.m_strHeader.str();
    std::vector<Problem>& problems = found.problems;
    if (CheckEnd(found, failure.dwCode, problems)) {
        std::map<std::string, ItemValue> values;
        CheckItems(found.header, found.Line(gibo::Marker::Hs), problems, values);
        const bool bodyRead = failure.dwCode != GIBO_ERR_NO_BODY;
        const long long after = sizes.nBodyEnd < 0 ? 0 : sizes.nLength - sizes.nBodyEnd;
        CheckNumbers(values, after, bodyRead, problems);
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return problems;
}
