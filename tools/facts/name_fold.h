// Names folded for searching: one key for every way a collection writes the same name.
//
// Blanks and the dots between given and family names (·, ・, ‧) are dropped, full-width ASCII
// is narrowed and ASCII lower-cased, the Japanese iteration mark 々 repeats its character, and
// Traditional, Simplified and Japanese (shinjitai) forms of a character become one form, so that
// 王维 finds 王維, 柯洁 finds 柯潔 and 周俊勳 finds 周俊勋 and 周俊勲. Characters are folded one at
// a time, never as words: the key of a part of a name is then always a part of the name's key,
// which a search by any part of a name relies on.
//
// The character tables are OpenCC's (Traditional to Simplified, Japanese shinjitai and the Hong
// Kong and Taiwan variants to Traditional), opened by absolute path in OpenCC's data directory
// (/usr/share/opencc on Debian, package libopencc-data). OpenCC's own configurations are not
// used: they convert by phrases, which would give a part of a name another key than the whole,
// and they look for their tables in the working directory first, where a collection could
// plant its own. Without the tables the folding keeps to blanks, width and case, and
// ScriptFolding() says so; Signature() differs, so that an index can tell keys made one way
// from keys made the other.
#ifndef GIBO_TOOLS_FACTS_NAME_FOLD_H
#define GIBO_TOOLS_FACTS_NAME_FOLD_H

#include <memory>
#include <string>

namespace facts {

class NameFolder {
public:
    // data_dir: where OpenCC's tables are; empty for the directory found when building.
    explicit NameFolder(const std::string& data_dir = std::string());
    ~NameFolder();
    NameFolder(const NameFolder&) = delete;
    NameFolder& operator=(const NameFolder&) = delete;

    // Whether Simplified, Traditional and Japanese forms are folded; when not, Error() says why.
    bool ScriptFolding() const;
    const std::string& Error() const;

    // The search key of a name, or of a query for a name (UTF-8 in and out). Not thread-safe:
    // it remembers the characters it has folded; use one folder per thread.
    std::string Fold(const std::string& name);

    // Names what the folding does; keys made under another signature must be made again.
    std::string Signature() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_NAME_FOLD_H
