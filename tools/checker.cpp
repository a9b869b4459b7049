// The record checker.
#include "checker.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "GiboFile.h"
#include "header_items.h"

namespace {

struct Line {
    std::string text;  // without LF and a CR before it
    size_t start;      // offset of the line's first byte
    size_t end;        // offset just past the line's LF (or the end of the file)
};

// Lines of a stream: the line's bytes are not kept beyond the next call.
class LineReader {
public:
    explicit LineReader(std::istream& in) : m_in(in) {}

    bool Next(Line& line) {
        if (!std::getline(m_in, line.text)) {
            return false;
        }
        const bool hadLf = !m_in.eof();
        line.start = m_pos;
        line.end = m_pos + line.text.size() + (hadLf ? 1 : 0);
        m_pos = line.end;
        if (hadLf && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
        }
        return true;
    }

    // The bytes after offset, which the stream need not have read.
    long long BytesAfter(size_t offset) {
        m_in.clear();
        m_in.seekg(0, std::ios::end);
        const std::streamoff size = m_in.tellg();
        return size < 0 ? 0 : static_cast<long long>(size) - static_cast<long long>(offset);
    }

private:
    std::istream& m_in;
    size_t m_pos = 0;
};

std::string TrimBlanks(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

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

void CheckBodyLine(const std::string& text, int lineNo, std::vector<Problem>& problems) {
    if (!text.empty() && text.compare(0, 3, "STO") != 0) {
        problems.push_back({lineNo, false, "body line is not an STO record"});
    }
}

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

// The loader refuses an audio size that it cannot take as the last bytes of the file; the size
// is read from the parameter text by the library itself.
unsigned long AudioVerdict(const std::string& parameters, long long fileSize) {
    CGiboFile record;
    unsigned char type = 0;
    record.LoadStream(CString(parameters.data(), static_cast<int>(parameters.size())), type);
    int found = 0;
    const long long n = std::strtoll(record.GetParam("SZAUDIO", found), nullptr, 10);
    const bool fits = n == 0 || (n > 0 && n <= INT32_MAX && n <= fileSize);
    return fits ? 0UL : static_cast<unsigned long>(GIBO_ERR_AUDIO_REOPEN);
}

}  // namespace

std::vector<Problem> CheckRecord(std::istream& in, LoadVerdict& load) {
    std::vector<Problem> problems;
    std::string header;  // one LF per file line, so that item line numbers count from \HS
    load = LoadVerdict();
    if (in.peek() == std::char_traits<char>::eof()) {
        problems.push_back({0, true, "the file is empty"});
        load.error = GIBO_ERR_NO_HEADER;
        return problems;
    }
    enum { kBefore, kHeader, kBetween, kBody, kDone } state = kBefore;
    LineReader reader(in);
    Line line;
    int lineNo = 0, hsLine = 0, gsLine = 0, heLine = 0;
    size_t bodyEnd = 0;
    while (state != kDone && reader.Next(line)) {
        ++lineNo;
        std::string text = line.text;
        if (state == kBefore) {
            const size_t hs = FindGbk(text, "\\HS");
            if (hs == std::string::npos) {
                continue;
            }
            state = kHeader;
            hsLine = lineNo;
            text = text.substr(hs + 3);
        }
        if (state == kHeader) {
            const size_t he = FindGbk(text, "\\HE");
            // The loader passes over an empty rest of the \HS line and an empty part before \HE.
            const size_t keep = he == std::string::npos ? text.size() : he;
            if (keep > 0 || (he == std::string::npos && lineNo != hsLine)) {
                load.header.append(text, 0, keep).append("\r\n");
            }
            if (he == std::string::npos) {
                header += text + "\n";
                continue;
            }
            header += text.substr(0, he);
            heLine = lineNo;
            state = kBetween;
            continue;  // the rest of the \HE line is not read
        }
        text = TrimBlanks(text);
        if (state == kBetween) {
            const size_t gs = FindGbk(text, "\\GS");
            if (gs == std::string::npos) {
                continue;
            }
            state = kBody;
            gsLine = lineNo;
            text = text.substr(gs + 3);
        }
        const size_t ge = FindGbk(text, "\\GE");
        if (ge == std::string::npos) {
            CheckBodyLine(text, lineNo, problems);
            continue;
        }
        CheckBodyLine(text.substr(0, ge), lineNo, problems);
        bodyEnd = line.end;
        state = kDone;
    }
    switch (state) {
        case kBefore:
            problems.push_back({0, true, "no header: no line holds \\HS"});
            load.error = GIBO_ERR_NO_HEADER;
            return problems;
        case kHeader:
            problems.push_back({hsLine, true, "the header is not closed with \\HE"});
            load.error = GIBO_ERR_NO_HEADER;
            return problems;
        case kBetween:
            problems.push_back({heLine, true, "no body: no line after the header holds \\GS"});
            load.error = GIBO_ERR_NO_BODY;
            break;
        case kBody:
            problems.push_back({gsLine, true, "the body is not closed with \\GE"});
            load.error = GIBO_ERR_NO_BODY;
            break;
        case kDone:
            load.error = AudioVerdict(load.header, reader.BytesAfter(0));
            break;
    }

    std::map<std::string, ItemValue> values;
    CheckItems(header, hsLine, problems, values);
    long long n = 0;
    auto type = values.find("TYPE");
    if (type != values.end() && (!WholeNumber(type->second.value, n) || n < 0 || n > 255)) {
        problems.push_back(
            {type->second.line, true,
             "TYPE \"" + TrimValue(type->second.value) + "\" is not a number from 0 to 255"});
    }
    auto audio = values.find("SZAUDIO");
    if (audio != values.end() && state == kDone) {
        const int at = audio->second.line;
        const long long after = reader.BytesAfter(bodyEnd);
        if (!WholeNumber(audio->second.value, n) || n < 0) {
            problems.push_back(
                {at, true,
                 "SZAUDIO \"" + TrimValue(audio->second.value) + "\" is not a byte count"});
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
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return problems;
}
