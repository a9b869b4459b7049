// Differential target: CString's GBK-aware searching, replacing and trimming against a slow
// model that first cuts the text into characters (a lead byte 0x81-0xFE with the byte after it
// when that is a second byte, 0x40-0x7E or 0x80-0xFE; else one byte) and then works character
// by character.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "GiboString.h"

namespace {

// Where each character starts; the text's end is added as a final boundary.
std::vector<size_t> Starts(const std::string& s) {
    std::vector<size_t> starts;
    size_t i = 0;
    while (i < s.size()) {
        starts.push_back(i);
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const unsigned char d = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        i += c >= 0x81 && c <= 0xFE && d >= 0x40 && d != 0x7F && d != 0xFF ? 2 : 1;
    }
    starts.push_back(s.size());
    return starts;
}

size_t LenAt(const std::vector<size_t>& starts, size_t k) {
    return starts[k + 1] - starts[k];
}

int ModelFindChar(const std::string& s, char ch, bool last) {
    const std::vector<size_t> b = Starts(s);
    int found = -1;
    for (size_t k = 0; k + 1 < b.size(); ++k) {
        if (s[b[k]] == ch) {
            found = static_cast<int>(b[k]);
            if (!last) {
                break;
            }
        }
    }
    return found;
}

int ModelFind(const std::string& s, const std::string& sub, int start) {
    if (start < 0) {
        return -1;
    }
    for (size_t pos : Starts(s)) {
        if (pos >= static_cast<size_t>(start) && pos + sub.size() <= s.size() &&
            s.compare(pos, sub.size(), sub) == 0) {
            return static_cast<int>(pos);
        }
    }
    return -1;
}

int ModelReplace(std::string& s, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return 0;
    }
    const std::vector<size_t> b = Starts(s);
    std::string out;
    int count = 0;
    size_t copied = 0;  // bytes of s already accounted for
    for (size_t k = 0; k + 1 < b.size(); ++k) {
        const size_t pos = b[k];
        if (pos < copied) {
            continue;  // inside the last match
        }
        out.append(s, copied, pos - copied);  // a trail byte left over by a match, if any
        if (pos + from.size() <= s.size() && s.compare(pos, from.size(), from) == 0) {
            out += to;
            copied = pos + from.size();
            ++count;
        } else {
            out.append(s, pos, LenAt(b, k));
            copied = pos + LenAt(b, k);
        }
    }
    out.append(s, copied, std::string::npos);
    s.swap(out);
    return count;
}

int ModelReplaceChar(std::string& s, char from, char to) {
    const std::vector<size_t> b = Starts(s);
    int count = 0;
    for (size_t k = 0; k + 1 < b.size(); ++k) {
        if (LenAt(b, k) == 1 && s[b[k]] == from) {
            s[b[k]] = to;
            ++count;
        }
    }
    return count;
}

// The characters of a zero-terminated set, cut the same way as the text.
std::vector<std::string> CharsOf(const std::string& set) {
    const std::vector<size_t> b = Starts(set);
    std::vector<std::string> chars;
    for (size_t k = 0; k + 1 < b.size(); ++k) {
        chars.push_back(set.substr(b[k], LenAt(b, k)));
    }
    return chars;
}

bool IsWhiteChar(const std::string& ch) {
    return ch.size() == 1 && std::strchr(" \t\n\v\f\r", ch[0]) != nullptr && ch[0] != '\0';
}

template <typename Pred>
void ModelTrim(std::string& s, bool left, Pred trimmed) {
    const std::vector<size_t> b = Starts(s);
    const size_t chars = b.size() - 1;
    if (left) {
        size_t k = 0;
        while (k < chars && trimmed(s.substr(b[k], LenAt(b, k)))) {
            ++k;
        }
        s.erase(0, b[k]);
    } else {
        size_t k = chars;
        while (k > 0 && trimmed(s.substr(b[k - 1], LenAt(b, k - 1)))) {
            --k;
        }
        s.resize(b[k]);
    }
}

void ModelTrimSet(std::string& s, bool left, const std::string& set) {
    const std::vector<std::string> chars = CharsOf(set);
    ModelTrim(s, left, [&](const std::string& ch) {
        for (const std::string& c : chars) {
            if (c == ch) {
                return true;
            }
        }
        return false;
    });
}

std::string ModelSub(const std::string& s, int first, int count) {
    if (first < 0) {
        first = 0;
    }
    if (count < 0 || static_cast<size_t>(first) >= s.size()) {
        return std::string();
    }
    return s.substr(static_cast<size_t>(first), static_cast<size_t>(count));
}

void Same(const CString& impl, const std::string& model) {
    FUZZ_CHECK(impl.str() == model);
    FUZZ_CHECK(impl.GetLength() == static_cast<int>(model.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::string model = in.Bytes();
    CString impl(model.data(), static_cast<int>(model.size()));
    // Texts stay small so that the model's quadratic walks stay cheap.
    constexpr size_t kMaxText = 2048;
    for (int step = 0; step < 32 && !in.Empty(); ++step) {
        const int len = static_cast<int>(model.size());
        switch (in.Byte() % 16) {
            case 0: {
                const char ch = static_cast<char>(in.Byte());
                FUZZ_CHECK(impl.Find(ch) == ModelFindChar(model, ch, false));
                FUZZ_CHECK(impl.ReverseFind(ch) == ModelFindChar(model, ch, true));
                break;
            }
            case 1: {
                const std::string sub = in.Text();
                const int start = in.Int(-2, len + 2);
                FUZZ_CHECK(impl.Find(sub.c_str(), start) == ModelFind(model, sub, start));
                FUZZ_CHECK(impl.Find(sub.c_str()) == ModelFind(model, sub, 0));
                break;
            }
            case 2: {
                const std::string from = in.Text();
                const std::string to = in.Text();
                if (model.size() * (1 + to.size()) > kMaxText * 8) {
                    break;
                }
                const int got = impl.Replace(from.c_str(), to.c_str());
                FUZZ_CHECK(got == ModelReplace(model, from, to));
                break;
            }
            case 3: {
                const char from = static_cast<char>(in.Byte());
                const char to = static_cast<char>(in.Byte());
                FUZZ_CHECK(impl.Replace(from, to) == ModelReplaceChar(model, from, to));
                break;
            }
            case 4:
                impl.TrimLeft();
                ModelTrim(model, true, IsWhiteChar);
                break;
            case 5:
                impl.TrimRight();
                ModelTrim(model, false, IsWhiteChar);
                break;
            case 6: {
                const std::string set = in.Text();
                impl.TrimLeft(set.c_str());
                ModelTrimSet(model, true, set);
                break;
            }
            case 7: {
                const std::string set = in.Text();
                impl.TrimRight(set.c_str());
                ModelTrimSet(model, false, set);
                break;
            }
            case 8: {
                const char ch = static_cast<char>(in.Byte());
                impl.TrimLeft(ch);
                ModelTrimSet(model, true, std::string(1, ch).c_str());
                break;
            }
            case 9: {
                const char ch = static_cast<char>(in.Byte());
                impl.TrimRight(ch);
                ModelTrimSet(model, false, std::string(1, ch).c_str());
                break;
            }
            case 10: {
                const int first = in.Int(-2, len + 2);
                const int count = in.Int(-2, len + 2);
                FUZZ_CHECK(impl.Mid(first, count).str() == ModelSub(model, first, count));
                FUZZ_CHECK(impl.Mid(first).str() == ModelSub(model, first, len));
                FUZZ_CHECK(impl.Left(count).str() == ModelSub(model, 0, count));
                const int right = count < 0 ? 0 : (count > len ? len : count);
                FUZZ_CHECK(impl.Right(count).str() == model.substr(model.size() - right));
                break;
            }
            case 11: {
                const std::string text = in.Text();
                const int at = in.Int(-2, len + 2);
                const size_t where = at < 0 ? 0 : (at > len ? model.size() : at);
                if (model.size() + text.size() <= kMaxText) {
                    model.insert(where, text);
                    FUZZ_CHECK(impl.Insert(at, text.c_str()) == static_cast<int>(model.size()));
                }
                break;
            }
            case 12: {
                const int at = in.Int(0, len + 2);
                const int count = in.Int(-2, len + 2);
                if (at < len && count > 0) {
                    model.erase(static_cast<size_t>(at), static_cast<size_t>(count));
                }
                FUZZ_CHECK(impl.Delete(at, count) == static_cast<int>(model.size()));
                break;
            }
            default: {
                // Grow the text, NULs included, so that later steps see richer strings.
                const std::string more = in.Bytes();
                if (model.size() + more.size() <= kMaxText) {
                    model += more;
                    impl += CString(more.data(), static_cast<int>(more.size()));
                }
                break;
            }
        }
        Same(impl, model);
    }
    return 0;
}
