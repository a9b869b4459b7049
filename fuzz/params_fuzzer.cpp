// Header texts from a host (LoadStream) followed by a run of GetParam, SetParam, ReplaceParam
// and ClearParamAll. Besides surviving any text, an item that SetParam reports stored must read
// back through GetParam with the value as SetParam documents it.
#include <string>

#include "FuzzInput.h"
#include "GiboFile.h"
#include "framework/Gbk.h"

namespace {

bool HasHighByte(const std::string& s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// What SetParam stores for a tag or value without GBK bytes (or a tag without backslashes):
// backslashes become blanks, and the value loses its blanks at both ends.
std::string Stored(std::string s, bool trim) {
    for (char& c : s) {
        if (c == '\\') {
            c = ' ';
        }
    }
    if (trim) {
        const size_t first = s.find_first_not_of(' ');
        if (first == std::string::npos) {
            return std::string();
        }
        s = s.substr(first, s.find_last_not_of(' ') - first + 1);
    }
    return s;
}

size_t Find(const CString& text, const std::string& what, size_t from = 0) {
    return gibo::GbkFind(text.str().data(), text.str().size(), what.data(), what.size(), from);
}

// True when the first item of the tag, if any, has a closer: an unclosed item would make
// GetParam read on into whatever SetParam appends.
bool FirstItemClosed(const CString& header, const std::string& tag) {
    const size_t key = Find(header, "\\[" + tag);
    return key == gibo::kNpos || Find(header, "\\]", key + 2 + tag.size()) != gibo::kNpos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CGiboFile record;
    const std::string text = in.Bytes();
    unsigned char type = 0;
    const int loaded = record.LoadStream(CString(text.data(), static_cast<int>(text.size())), type);
    if (text.size() < 10) {
        FUZZ_CHECK(loaded == 0 && type == 255 && record.m_strHeader.IsEmpty());
        FUZZ_CHECK(record.GetError() == GIBO_ERR_NO_HEADER);
    } else {
        FUZZ_CHECK(loaded == 1 && record.m_strHeader.str() == text);
    }

    for (int step = 0; step < 24 && !in.Empty(); ++step) {
        const int op = in.Byte() % 5;
        const std::string tag = in.Text();
        const std::string value = in.Text();
        const CString before = record.m_strHeader;
        int found = 0;
        switch (op) {
            case 0: {
                const CString got = record.GetParam(tag.c_str(), found);
                FUZZ_CHECK(record.m_strHeader == before);
                if (tag.empty()) {
                    FUZZ_CHECK(found == 0 && got.IsEmpty());
                }
                if (!found) {
                    FUZZ_CHECK(got.IsEmpty());
                }
                break;
            }
            case 1: {
                const int set = record.SetParam(tag.c_str(), value.c_str());
                if (tag.empty()) {
                    FUZZ_CHECK(set == 0 && record.m_strHeader == before);
                    break;
                }
                FUZZ_CHECK(set == 1);
                // A tag is stored whole, GBK bytes and all ('=' is never a second byte).
                const std::string storedTag = Stored(tag, false);
                if ((tag.find('\\') == std::string::npos || !HasHighByte(tag)) &&
                    !HasHighByte(value) && FirstItemClosed(before, storedTag)) {
                    const CString got = record.GetParam(storedTag.c_str(), found);
                    FUZZ_CHECK(found == 1);
                    FUZZ_CHECK(got.str() == Stored(value, true));
                }
                break;
            }
            case 2: {
                const int replaced = record.ReplaceParam(tag.c_str(), value.c_str());
                if (!replaced) {
                    FUZZ_CHECK(record.m_strHeader == before);
                } else if (!tag.empty() && value.find('\\') == std::string::npos &&
                           !HasHighByte(value)) {
                    FUZZ_CHECK(record.GetParam(tag.c_str(), found).str() == value && found == 1);
                }
                break;
            }
            case 3:
                record.ClearParamAll();
                FUZZ_CHECK(record.m_strHeader.IsEmpty());
                (void)record.GetParam(tag.c_str(), found);
                FUZZ_CHECK(found == 0);
                break;
            default: {
                // Reloading the current text, as a host that keeps headers as text does.
                const CString header = record.m_strHeader;
                if (header.GetLength() >= 10) {
                    FUZZ_CHECK(record.LoadStream(header, type) == 1 &&
                               record.m_strHeader == header);
                }
                break;
            }
        }
    }
    return 0;
}
