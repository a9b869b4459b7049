// The display fields of the record object and of its compact header.

#include "GBHLoad.h"
#include "TestSupport.h"

TEST(DerivedFields, BothVocabulariesShowOnlyAForeignPlayerWithANickByNick) {
    const struct {
        int code;  // the player's nation code
        const char* nick;
        int nation;  // the host's
        int level;
        const char *letters, *compact;  // the name shown from each vocabulary
        const char *level1, *level2;
    } cases[] = {
        {3, "K", 3, 27, "id", "id", "<pro>1<dan>", "P 1<dan>"},  // own nation: the id
        {3, "K", 5, 0, "K", "K", "18<kyu>", "18<kyu>"},          // foreign with a nick
        {3, "", 5, 36, "id", "id", "", ""},  // foreign without; a level past the table
        // The compact nation code keeps the low byte of its number, the letter code all of it.
        {300, "K", 44, 18, "K", "id", "1<dan>", "1<dan>"},
        {300, "K", 300, 18, "id", "K", "1<dan>", "1<dan>"},
    };
    for (const auto& c : cases) {
        for (bool white : {true, false}) {
            const std::string nick = c.nick, code = std::to_string(c.code);
            const std::string level = std::to_string(c.level), s = white ? "W" : "B";
            std::string letters = white ? "IXid,AX" + nick + ",JX" + code + ",LX" + level
                                        : "MXid,BX" + nick + ",KX" + code + ",NX" + level;
            std::string compact = s + "ID:id," + s + "NICK:" + nick + "," + s + "NCD:" + code +
                                  "," + s + "LV:" + level;
            SCOPED_TRACE(letters + " / " + compact + " at nation " + std::to_string(c.nation));
            for (int newFormat : {0, 1}) {
                CGiboFile f;
                f.SetNationCode(c.nation);
                f.SetNewFormat(static_cast<unsigned char>(newFormat));
                f.ParsingTagData(newFormat ? &compact[0] : &letters[0]);
                f.MakeData();
                const std::string shown = newFormat ? c.compact : c.letters;
                EXPECT_EQ((white ? f.GetGameWUser() : f.GetGameBUser()).str(),
                          shown + Gbk(" ( " + std::string(c.level1) + " )"));
                EXPECT_EQ((white ? f.GetGameWUser2() : f.GetGameBUser2()).str(),
                          shown + Gbk("(" + std::string(c.level2) + ")"));
            }
        }
    }
}

TEST(DerivedFields, ResultTexts) {
    const struct {
        int code, points, tenths;
        const char* item;  // hex of the GAMERESULT value; null: no such item
        const char* text;  // null: the earlier text is kept
    } cases[] = {
        {0, 6, 5, nullptr, "<black>  6<pts> <half><win>"},
        {0, 6, 0, nullptr, "<black>  6<pts> <win>"},
        {1, 0, 5, nullptr, "<white>  <half><pts> <win>"},
        {1, -1, -5, nullptr, "<white>  -1<pts> <half><win>"},  // SetGameZip("-15")
        {-1, 3, 0, nullptr, "  3<pts> <win>"},   // a negative code has a blank for its colour word
        {3, 6, 5, nullptr, "<black><resign> "},  // named results ignore the margin
        {8, 6, 0, nullptr, "<white> <h><BC E4><win> "},
        // A zero margin, or a code with no name, keeps the earlier text.
        {0, 0, 0, nullptr, nullptr},
        {9, 6, 5, nullptr, nullptr},
        // Code 255: the GAMERESULT item's text, in any code page, shown in GBK.
        {255, 2, 5, "C8 E6 20 BA D2 B0 E8 BD C2", "<black><resign> "},  // Korean resignation
        {255, 2, 5, "94 92 8E 9E 8A D4 89 7A 82 A6 8F 9F",
         "<white><C6 E5 B3 AC CA B1 CA A4 20>"},                    // Shift-JIS time-out
        {255, 2, 5, "77 68 61 74", "<BA CD C6 E5 20>"},             // unrecognised: a draw
        {255, 2, 5, "B9 E9 20 78", "<white>  2<pts> <half><win>"},  // score win: the margin
        {255, 2, 5, nullptr, "<BA CD C6 E5 20>"},                   // no item: a draw
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strGameResult = "earlier";
        f.m_strHeader =
            c.item ? ("\\[GAMERESULT=" + Hex(c.item) + "\\]\r\n").c_str() : "\\[TYPE=1\\]";
        f.m_nGameResult = c.code;
        f.m_nZipsu = c.points;
        f.m_nZipsuFrac = c.tenths;
        f.MakeGameResult();
        EXPECT_EQ(f.m_strGameResult.str(), c.text ? Gbk(c.text) : "earlier")
            << c.code << " " << c.points << "." << c.tenths << " " << (c.item ? c.item : "");
    }
}

TEST(DerivedFields, Conditions) {
    const struct {
        int condition, dum;
        const char* text;
    } cases[] = {
        {0, 7, "<min><CF C8 A3 BA><komi>6<pts><half>"},
        {1, 7, "<handicap>"},
        {3, 0, "<C8 C3>3<D7 D3> <handicap>"},
        {3, 5, "<C8 C3>3<D7 D3> <handicap> ( <black><B5 B9 CC F9> 5<pts> )"},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_nGameCondition = c.condition;
        f.m_nDum = c.dum;
        f.MakeGameCondition();
        EXPECT_EQ(f.m_strGameCondition.str(), Gbk(c.text)) << c.condition << " " << c.dum;
    }
}

TEST(DerivedFields, MoveCountKeepsTheMiddleOfTheHeaderValueAndTheTitleQuotesIt) {
    const char* const cases[][2] = {{"\\[GAMETOTALNUM=abc211de\\]", "211"},
                                    {"\\[GAMETOTALNUM=abcde\\]", ""},
                                    {"\\[GAMETOTALNUM=a\\]", ""},
                                    {"", ""}};
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strHeader = c[0];
        f.MakeGameTotalNum();
        EXPECT_EQ(f.m_strTotalNum, c[1]) << c[0];
        EXPECT_EQ(f.m_strGameTotalNum.str(), Gbk("<total>: ") + c[1] + Gbk("<moves>")) << c[0];
    }
    // The title quotes five fields, even when they are empty.
    CGiboFile f;
    f.MakeShowGiboTitle();
    EXPECT_EQ(f.m_strShowGiboTitle.str(), Gbk("<white>: Vs <black>: - ( <total>:<moves>)"));
}

// The compact header's own texts, with its loaded fields set directly. From result code 2 on,
// the word alone; the condition is the rule lookup, copied: a later lookup does not change it.
TEST(CompactDisplay, ResultsAndConditions) {
    const struct {
        bool condition;
        unsigned char code;
        int number;  // the margin, or the komi
        const char* text;
    } cases[] = {
        {false, 0, 65, "<black>  6<pts> <half><win>"},
        {false, 0, -65, "<black>  -6<pts> <half><win>"},
        {false, 1, -5, "<white>  <half><pts> <win>"},
        {false, 0, 0, "earlier"},
        {false, 2, 65, "<BA CD C6 E5 20>"},
        {false, 9, 65, " "},
        {true, 1, 5, "<C8 C3 CF C8> (<komi> 5<pts>)"},
        {true, 12, 5, ""},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_strGameResult = "earlier";
        (c.condition ? g.m_byGameCondition : g.m_byGameResult) = c.code;
        (c.condition ? g.m_nDum : g.m_nZipsu) = c.number;
        g.MakeData();
        f.GetDeakukRule(2, 9);
        EXPECT_EQ((c.condition ? g.m_strGameCondition : g.m_strGameResult).str(), Gbk(c.text))
            << int(c.code) << " " << c.number;
    }
}
