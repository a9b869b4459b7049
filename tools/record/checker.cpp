// The record checker.
#include "record/checker.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

#include "GiboFile.h"
#include "framework/Gbk.h"
#include "record/header_items.h"

namespace {

#ifndef GIBO_CHECK_LINE_CAP
#define GIBO_CHECK_LINE_CAP 65536
#endif

// Lines up to this many bytes are taken whole; longer ones, outside the header, in pieces of it.
constexpr size_t kLineCap = GIBO_CHECK_LINE_CAP;

struct Line {
    std::string text;  // without LF and a CR before it; only the first piece of a long line
    bool whole;        // false: the rest of the line comes from LineReader::More
    size_t start;      // offset of the line's first byte
    size_t end;        // offset just past the line's LF (or the end of the file); set once whole
};

// Lines of a stream: the line's bytes are not kept beyond the next call.
class LineReader {
public:
    explicit LineReader(std::istream& in) : m_in(in), m_chunk(kLineCap + 1) {}

    bool Next(Line& line) {
        line.text.clear();
        line.start = m_pos;
        if (m_at == m_len && !Fill()) {
            return false;
        }
        line.whole = Read(line.text);
        line.end = m_pos;
        return true;
    }

    // The next piece of a long line, in place of piece; true when it is the line's last.
    bool More(Line& line, std::string& piece) {
        piece.clear();
        line.whole = Read(piece);
        line.end = m_pos;
        return line.whole;
    }

    // The bytes after offset, which the stream need not have read.
    long long BytesAfter(size_t offset) {
        m_in.clear();
        m_in.seekg(0, std::ios::end);
        const std::streamoff size = m_in.tellg();
        return size < 0 ? 0 : static_cast<long long>(size) - static_cast<long long>(offset);
    }

private:
    // Appends the line's bytes until the line ends (true) or out holds kLineCap bytes (false).
    bool Read(std::string& out) {
        for (;;) {
            if (m_at == m_len && !Fill()) {
                return true;
            }
            const char* from = m_chunk.data() + m_at;
            const size_t avail = m_len - m_at;
            const size_t room = kLineCap - out.size();
            // An LF just past a full piece still ends the line whole.
            const void* lf = std::memchr(from, '\n', std::min(avail, room + 1));
            if (lf != nullptr) {
                const size_t take = static_cast<size_t>(static_cast<const char*>(lf) - from);
                const size_t cr = take > 0 && from[take - 1] == '\r' ? 1 : 0;
                out.append(from, take - cr);
                Advance(take + 1);
                return true;
            }
            size_t take = std::min(avail, room);
            // A CR as the last byte read may come just before an LF: it waits for the next byte.
            if (take == avail && from[take - 1] == '\r' && !m_eof) {
                --take;
            }
            out.append(from, take);
            Advance(take);
            if (out.size() == kLineCap) {
                return false;
            }
            if (take == 0) {
                Fill();
            }
        }
    }

    void Advance(size_t n) {
        m_at += n;
        m_pos += n;
    }

    // Reads more of the stream after what is left unread; false when it had nothing more.
    bool Fill() {
        std::copy(m_chunk.begin() + static_cast<std::ptrdiff_t>(m_at),
                  m_chunk.begin() + static_cast<std::ptrdiff_t>(m_len), m_chunk.begin());
        m_len -= m_at;
        m_at = 0;
        m_in.read(m_chunk.data() + m_len, static_cast<std::streamsize>(m_chunk.size() - m_len));
        const size_t got = static_cast<size_t>(m_in.gcount());
        m_len += got;
        m_eof = got == 0;
        return got > 0;
    }

    std::istream& m_in;
    std::vector<char> m_chunk;
    size_t m_at = 0, m_len = 0;  // the unread bytes of m_chunk
    bool m_eof = false;
    size_t m_pos = 0;  // offset of m_chunk[m_at]
};

// Finds a three-byte marker in bytes fed one by one, as FindGbk does in a whole text: the second
// byte of a double-byte character never starts it. The marker's last two bytes are neither a
// backslash nor lead bytes, so a failed partial match leaves no character open.
class MarkerMatcher {
public:
    explicit MarkerMatcher(const char* marker) : m_marker(marker) {}

    // True when c completes the marker.
    bool Feed(unsigned char c) {
        if (m_matched > 0) {
            if (c == static_cast<unsigned char>(m_marker[m_matched])) {
                if (++m_matched == 3) {
                    m_matched = 0;
                    return true;
                }
                return false;
            }
            m_matched = 0;
        } else if (m_trail) {
            m_trail = false;
            return false;
        }
        if (c == '\\') {
            m_matched = 1;
        } else {
            m_trail = gibo::IsGbkLead(c);
        }
        return false;
    }

private:
    const char* m_marker;
    int m_matched = 0;
    bool m_trail = false;
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

// Appends the rest of a long header line, from piece on, to text. It ends at the first \HE: what
// follows that on the line is no header and is passed over unkept.
void KeepHeaderLine(LineReader& reader, Line& line, std::string piece, bool last,
                    std::string& text) {
    MarkerMatcher matcher("\\HE");
    for (;;) {
        for (size_t i = 0; i < piece.size(); ++i) {
            if (matcher.Feed(static_cast<unsigned char>(piece[i]))) {
                text.append(piece, 0, i + 1);
                while (!last) {
                    last = reader.More(line, piece);
                }
                return;
            }
        }
        text += piece;
        if (last) {
            return;
        }
        last = reader.More(line, piece);
    }
}

enum State { kBefore, kHeader, kBetween, kBody, kDone };

// A line past the cap outside the header, read in pieces: of a body line only whether its text
// is empty and its first three bytes matter. Returns true when \HS opens the header on it; rest
// then holds the header's part of the rest of the line.
bool ScanLongLine(LineReader& reader, Line& line, State& state, int lineNo, int& hsLine,
                  int& gsLine, std::string& rest, std::vector<Problem>& problems) {
    MarkerMatcher matcher(state == kBefore ? "\\HS" : state == kBetween ? "\\GS" : "\\GE");
    bool inBody = state == kBody;
    bool started = false;  // the body text began: blanks before it are trimmed, not after \GS
    bool blank = true;     // no byte but blanks since it began
    size_t count = 0;      // bytes since it began
    std::string head;      // its first bytes, for the STO test
    std::string piece = line.text;
    bool last = line.whole;
    for (;;) {
        for (size_t i = 0; i < piece.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(piece[i]);
            if (inBody && (started || c != ' ')) {
                started = true;
                blank = blank && c == ' ';
                if (head.size() < 3) {
                    head.push_back(static_cast<char>(c));
                }
                ++count;
            }
            if (!matcher.Feed(c)) {
                continue;
            }
            if (state == kBefore) {
                state = kHeader;
                hsLine = lineNo;
                rest.clear();
                KeepHeaderLine(reader, line, piece.substr(i + 1), last, rest);
                return true;
            }
            if (state == kBetween) {
                state = kBody;
                gsLine = lineNo;
                inBody = started = true;
                matcher = MarkerMatcher("\\GE");
                continue;
            }
            const size_t before = count - 3;  // the body text ends where \GE begins
            CheckBodyLine(head.substr(0, std::min(before, head.size())), lineNo, problems);
            state = kDone;
            while (!last) {
                last = reader.More(line, piece);
            }
            return false;
        }
        if (last) {
            break;
        }
        last = reader.More(line, piece);
    }
    if (inBody) {
        CheckBodyLine(blank ? std::string() : head, lineNo, problems);
    }
    return false;
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

// Where the reading of a record stands, line by line.
struct Scan {
    State state = kBefore;
    int lineNo = 0, hsLine = 0, gsLine = 0, heLine = 0;
    size_t bodyEnd = 0;  // just past the line that ends the body
    std::string header;  // one LF per file line, so that item line numbers count from \HS
};

// The text of the line the checker reads on; false when the line is done with (a line before
// the header without \HS, a long line outside the header).
bool LineText(LineReader& reader, Line& line, Scan& scan, std::string& text,
              std::vector<Problem>& problems) {
    text = line.text;
    if (!line.whole && scan.state == kHeader) {
        text.clear();
        KeepHeaderLine(reader, line, line.text, line.whole, text);
        return true;
    }
    if (!line.whole) {
        if (ScanLongLine(reader, line, scan.state, scan.lineNo, scan.hsLine, scan.gsLine, text,
                         problems)) {
            return true;
        }
        if (scan.state == kDone) {
            scan.bodyEnd = line.end;
        }
        return false;
    }
    if (scan.state == kBefore) {
        const size_t hs = FindGbk(text, "\\HS");
        if (hs == std::string::npos) {
            return false;
        }
        scan.state = kHeader;
        scan.hsLine = scan.lineNo;
        text = text.substr(hs + 3);
    }
    return true;
}

void HeaderLine(const std::string& text, Scan& scan, LoadVerdict& load) {
    const size_t he = FindGbk(text, "\\HE");
    // The loader passes over an empty rest of the \HS line and an empty part before \HE.
    const size_t keep = he == std::string::npos ? text.size() : he;
    if (keep > 0 || (he == std::string::npos && scan.lineNo != scan.hsLine)) {
        load.header.append(text, 0, keep).append("\r\n");
    }
    if (he == std::string::npos) {
        scan.header += text + "\n";
        return;
    }
    scan.header += text.substr(0, he);
    scan.heLine = scan.lineNo;
    scan.state = kBetween;  // the rest of the \HE line is not read
}

// A line after the header, its blanks at either end trimmed.
void BodyLine(std::string text, const Line& line, Scan& scan, std::vector<Problem>& problems) {
    if (scan.state == kBetween) {
        const size_t gs = FindGbk(text, "\\GS");
        if (gs == std::string::npos) {
            return;
        }
        scan.state = kBody;
        scan.gsLine = scan.lineNo;
        text = text.substr(gs + 3);
    }
    const size_t ge = FindGbk(text, "\\GE");
    if (ge == std::string::npos) {
        CheckBodyLine(text, scan.lineNo, problems);
        return;
    }
    CheckBodyLine(text.substr(0, ge), scan.lineNo, problems);
    scan.bodyEnd = line.end;
    scan.state = kDone;
}

// What the record's end says; false when there is no header to check further.
bool CheckEnd(const Scan& scan, LineReader& reader, LoadVerdict& load,
              std::vector<Problem>& problems) {
    switch (scan.state) {
        case kBefore:
            problems.push_back({0, true, "no header: no line holds \\HS"});
            load.error = GIBO_ERR_NO_HEADER;
            return false;
        case kHeader:
            problems.push_back({scan.hsLine, true, "the header is not closed with \\HE"});
            load.error = GIBO_ERR_NO_HEADER;
            return false;
        case kBetween:
            problems.push_back({scan.heLine, true, "no body: no line after the header holds \\GS"});
            load.error = GIBO_ERR_NO_BODY;
            break;
        case kBody:
            problems.push_back({scan.gsLine, true, "the body is not closed with \\GE"});
            load.error = GIBO_ERR_NO_BODY;
            break;
        case kDone:
            load.error = AudioVerdict(load.header, reader.BytesAfter(0));
            break;
    }
    return true;
}

// TYPE a number from 0 to 255; SZAUDIO a byte count that fits what follows the body.
void CheckNumbers(const std::map<std::string, ItemValue>& values, const Scan& scan,
                  LineReader& reader, std::vector<Problem>& problems) {
    long long n = 0;
    auto type = values.find("TYPE");
    if (type != values.end() && (!WholeNumber(type->second.value, n) || n < 0 || n > 255)) {
        problems.push_back(
            {type->second.line, true,
             "TYPE \"" + TrimValue(type->second.value) + "\" is not a number from 0 to 255"});
    }
    auto audio = values.find("SZAUDIO");
    if (audio == values.end() || scan.state != kDone) {
        return;
    }
    const int at = audio->second.line;
    const long long after = reader.BytesAfter(scan.bodyEnd);
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

}  // namespace

std::vector<Problem> CheckRecord(std::istream& in, LoadVerdict& load) {
    std::vector<Problem> problems;
    load = LoadVerdict();
    if (in.peek() == std::char_traits<char>::eof()) {
        problems.push_back({0, true, "the file is empty"});
        load.error = GIBO_ERR_NO_HEADER;
        return problems;
    }
    Scan scan;
    LineReader reader(in);
    Line line;
    std::string text;
    while (scan.state != kDone && reader.Next(line)) {
        ++scan.lineNo;
        if (!LineText(reader, line, scan, text, problems)) {
            continue;
        }
        if (scan.state == kHeader) {
            HeaderLine(text, scan, load);
        } else {
            BodyLine(TrimBlanks(text), line, scan, problems);
        }
    }
    if (!CheckEnd(scan, reader, load, problems)) {
        return problems;
    }
    std::map<std::string, ItemValue> values;
    CheckItems(scan.header, scan.hsLine, problems, values);
    CheckNumbers(values, scan, reader, problems);
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return problems;
}
