// Name folding; the Chinese character forms come from OpenCC's tables where OpenCC was found.
#include "name_fold.h"

#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "utf8_text.h"

#ifdef GIBO_HAVE_OPENCC
#include <Exception.hpp>
#include <Lexicon.hpp>
#include <MarisaDict.hpp>
#endif

namespace facts {

namespace {

// Blanks and the dots that join the parts of a transliterated name.
bool IsNameSeparator(char32_t cp) {
    return IsBlank(cp) || cp == 0x00B7 || cp == 0x2027 || cp == 0x2022 || cp == 0x30FB ||
           cp == 0xFF65;
}

const char32_t kIterationMark = 0x3005;  // 々

#ifdef GIBO_HAVE_OPENCC
// Characters Chinese writes alike in both scripts that OpenCC's Japanese and regional tables
// would map to others (欠 to 缺, 予 to 豫, 著 to 着): found by folding every GB2312 character.
const char32_t kSharedChinese[] = U"疏糸缶弁浜欠醋予抬著";

// Variants of name characters that OpenCC's tables lack, found on the list of players' names
// in tests/facts: 菫 (仲邑菫, 仲邑堇), 曺 (曺薰鉉, Korean hanja of 曹), 廼 (芮廼偉, Japanese for
// 乃).
const char32_t kVariants[][2] = {{U'菫', U'堇'}, {U'曺', U'曹'}, {U'廼', U'乃'}};
#endif

}  // namespace

#ifdef GIBO_HAVE_OPENCC

// OpenCC's character tables, opened by absolute path.
class CharTables {
public:
    // Traditional to Simplified; Simplified to Traditional (only to know which characters are
    // Simplified ones); Japanese shinjitai to Traditional; Hong Kong and Taiwan variants.
    static constexpr const char* kFiles[] = {"TSCharacters.ocd2",  "STCharacters.ocd2",
                                             "JPVariantsRev.ocd2", "JPShinjitaiCharacters.ocd2",
                                             "HKVariantsRev.ocd2", "TWVariantsRev.ocd2"};

    // Empty on success, else what is missing.
    std::string Open(const std::string& dir, std::string& sizes) {
        try {
            for (const char* name : kFiles) {
                const std::string path = dir + "/" + name;
                std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                           std::fclose);
                if (!file) {
                    return "cannot open " + path;
                }
                std::fseek(file.get(), 0, SEEK_END);
                sizes += "," + std::to_string(std::ftell(file.get()));
                std::rewind(file.get());
                m_dicts.push_back(opencc::MarisaDict::NewFromFile(file.get()));
            }
            NoteSimplified();
        } catch (const opencc::Exception& e) {
            return std::string("OpenCC: ") + e.what();
        } catch (...) {
            return "OpenCC cannot read its tables in " + dir;
        }
        return std::string();
    }

    // Traditional characters become Simplified ones; a character that is Chinese already
    // stays; Japanese and regional forms become Traditional and then Simplified. The Japanese
    // table is asked last, for characters Chinese does not know: it maps some shared
    // characters to others (連 to 聯, 芸 to 藝) that a Chinese text never means.
    std::u32string Fold(char32_t cp) const {
        for (const auto& variant : kVariants) {
            if (variant[0] == cp) {
                return std::u32string(1, variant[1]);
            }
        }
        if (std::u32string(kSharedChinese).find(cp) != std::u32string::npos) {
            return std::u32string(1, cp);
        }
        const std::string text = EncodeUtf8(std::u32string(1, cp));
        std::string out;
        if (Lookup(kTraditional, text, out) || m_simplified.count(cp) > 0) {
            return out.empty() ? std::u32string(1, cp) : DecodeUtf8(out);
        }
        for (int table : {kJapanese, kJapaneseMulti, kHongKong, kTaiwan}) {
            if (Lookup(table, text, out)) {
                std::string simplified;
                return DecodeUtf8(Lookup(kTraditional, out, simplified) ? simplified : out);
            }
        }
        return std::u32string(1, cp);
    }

private:
    enum { kTraditional, kSimplified, kJapanese, kJapaneseMulti, kHongKong, kTaiwan };

    bool Lookup(int table, const std::string& key, std::string& value) const {
        const auto entry = m_dicts[table]->Match(key.data(), key.size());
        if (entry.IsNull()) {
            return false;
        }
        value = entry.Get()->GetDefault();
        return true;
    }

    // The Simplified table's keys and the Traditional table's values are Chinese characters.
    void NoteSimplified() {
        for (const auto& entry : *m_dicts[kSimplified]->GetLexicon()) {
            for (char32_t cp : DecodeUtf8(entry->Key())) {
                m_simplified.insert(cp);
            }
        }
        for (const auto& entry : *m_dicts[kTraditional]->GetLexicon()) {
            for (const std::string& value : entry->Values()) {
                for (char32_t cp : DecodeUtf8(value)) {
                    m_simplified.insert(cp);
                }
            }
        }
    }

    std::vector<opencc::DictPtr> m_dicts;
    std::unordered_set<char32_t> m_simplified;
};

#else

class CharTables {
public:
    std::string Open(const std::string&, std::string&) { return "built without OpenCC"; }
    std::u32string Fold(char32_t cp) const { return std::u32string(1, cp); }
};

#endif

struct NameFolder::Impl {
    CharTables tables;
    std::string error;
    std::string sizes;
    std::unordered_map<char32_t, std::u32string> folded;

    const std::u32string& Fold(char32_t cp) {
        auto found = folded.find(cp);
        if (found == folded.end()) {
            found = folded.emplace(cp, tables.Fold(cp)).first;
        }
        return found->second;
    }
};

NameFolder::NameFolder(const std::string& data_dir) : m_impl(new Impl) {
#ifdef GIBO_OPENCC_DATA_DIR
    const std::string dir = data_dir.empty() ? GIBO_OPENCC_DATA_DIR : data_dir;
#else
    const std::string dir = data_dir;
#endif
    m_impl->error = m_impl->tables.Open(dir, m_impl->sizes);
}

NameFolder::~NameFolder() = default;

bool NameFolder::ScriptFolding() const {
    return m_impl->error.empty();
}

const std::string& NameFolder::Error() const {
    return m_impl->error;
}

std::string NameFolder::Fold(const std::string& name) {
    std::u32string key;
    for (char32_t cp : DecodeUtf8(name)) {
        cp = NarrowForm(cp);
        if (IsNameSeparator(cp)) {
            continue;
        }
        if (cp == kIterationMark && !key.empty()) {
            key += key.back();  // 佐々木 is written 佐佐木 in Chinese
        } else if (cp >= 'A' && cp <= 'Z') {
            key += cp - 'A' + 'a';
        } else {
            // Other scripts pass through the tables unchanged, each character asked once.
            key += ScriptFolding() ? m_impl->Fold(cp) : std::u32string(1, cp);
        }
    }
    return EncodeUtf8(key);
}

std::string NameFolder::Signature() const {
    // The tables' sizes stand for their version: an OpenCC update that changes them changes
    // the keys.
    return "fold1:blank,width,case,repeat" + (ScriptFolding() ? ",opencc" + m_impl->sizes : "");
}

}  // namespace facts
