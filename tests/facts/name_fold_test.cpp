// Names folded for searching, measured on real players' names.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Tsv.h"
#include "name_fold.h"
#include "utf8_text.h"

namespace {

#ifdef GIBO_HAVE_OPENCC
const bool kScripts = true;
#else
const bool kScripts = false;
#endif

// Pairs that must share a key, and pairs that must not (players' forms are in the list below).
TEST(NameFoldTest, WritingsOfOneNameShareAKey) {
    facts::NameFolder folder;
    ASSERT_EQ(folder.ScriptFolding(), kScripts) << folder.Error();
    const struct {
        const char* a;
        const char* b;
        bool scripts;  // needs the Chinese character tables
    } same[] = {
        {"Lee Sedol", "leesedol", false},
        {"ＬＥＥ　Ｓｅｄｏｌ", "lee sedol", false},
        {"井山\u2000裕太\t", "井山裕太", false},
        {"ＡＹＵＭＩ～Z", "ayumi~z", false},
        {"이 세 돌", "이세돌", false},
        {"マイケル・レドモンド", "マイケルレドモンド", false},
        {"迈克尔·雷德蒙", "迈克尔雷德蒙", false},
        {"佐々木", "佐佐木", false},
        {"王维", "王維", true},
    };
    for (const auto& c : same) {
        if (c.scripts && !kScripts) {
            continue;
        }
        EXPECT_EQ(folder.Fold(c.a), folder.Fold(c.b)) << c.a << " / " << c.b;
    }
    const char* const different[][2] = {
        {"李世乭", "李世石"}, {"欠", "缺"}, {"予", "豫"}, {"王", "玉"}, {"이세돌", "이세들"},
    };
    for (const auto& c : different) {
        EXPECT_NE(folder.Fold(c[0]), folder.Fold(c[1])) << c[0] << " / " << c[1];
    }
    EXPECT_EQ(folder.Fold("Lee Sedol"), "leesedol");
}

// Each player's forms share one key, no two players share a key, and the key of any part of
// a form is a part of the form's key (a search by part of a name relies on it).
TEST(NameFoldTest, RealPlayersNamesFoldTogetherAndApart) {
    if (!kScripts) {
        GTEST_SKIP() << "built without OpenCC";
    }
    facts::NameFolder folder;
    std::map<std::string, std::string> owner;
    const auto lines = ReadTsv(GIBO_FACTS_DATA "/player-names.tsv");
    ASSERT_GT(lines.size(), 130u);
    for (const auto& fields : lines) {
        const bool foldable = fields[0][0] != '!';
        const std::string key = folder.Fold(fields[1]);
        for (size_t i = 1; i < fields.size(); ++i) {
            const std::string form_key = folder.Fold(fields[i]);
            if (foldable) {
                EXPECT_EQ(form_key, key) << fields[0] << ": " << fields[i];
            }
            const auto seen = owner.emplace(form_key, fields[0]).first;
            EXPECT_EQ(seen->second, fields[0]) << "shares its key with " << fields[i];
            const std::u32string chars = facts::DecodeUtf8(fields[i]);
            for (const std::u32string& part :
                 {chars.substr(1), chars.substr(0, chars.size() - 1)}) {
                const std::string part_key = folder.Fold(facts::EncodeUtf8(part));
                EXPECT_NE(form_key.find(part_key), std::string::npos) << fields[i];
            }
        }
    }
}

TEST(NameFoldTest, MissingTablesFoldWithoutScriptsAndSaySo) {
    facts::NameFolder missing("/nonexistent/opencc");
    EXPECT_FALSE(missing.ScriptFolding());
    EXPECT_FALSE(missing.Error().empty());
    EXPECT_EQ(missing.Fold("Ｋｅ Ｊｉｅ 柯潔"), "kejie柯潔");
    facts::NameFolder found;  // without OpenCC in the build, both fold the same way
    EXPECT_EQ(missing.Signature() == found.Signature(), !kScripts);
    EXPECT_EQ(found.Signature(), facts::NameFolder().Signature());
}

}  // namespace
