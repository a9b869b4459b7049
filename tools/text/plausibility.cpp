// The statistical part of code-page detection: character classes of the four code pages, and
// lists of characters frequent in game records (names, places, tournaments, results) and in
// everyday text.
#include "text/detect.h"

#include <bitset>

namespace {

// Frequent characters of each language, as UTF-8; each is turned into its code page's bytes
// once.
const char kCommonSimplified[] =
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过"
    "子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体"
    "制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内"
    "数正心反明看原又利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题"
    "程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别手角"
    "期根论运农指几九区强放决西被干做必战先回则任取据处府王连车金陆张陈刘杨黄赵周吴徐孙胡朱林何郭"
    "马罗梁宋郑谢韩唐冯董萧曹袁邓许傅沈曾彭吕苏卢蒋蔡贾丁魏薛叶阎余潘杜戴夏钟汪田姜范石姚谭廖邹熊"
    "郝孔白崔康毛邱秦江史顾侯邵孟龙万段雷钱汤尹黎易武乔贺赖龚伟芳娜敏静丽磊洋勇艳杰涛超秀霞刚桂英"
    "华玉兰志红海峰宇浩轩涵欣怡梓晨辰博俊嘉豪思源冠亚围棋赛杯名元圣半准预选届局轮北京广州深圳杭州"
    "成都庆南武汉安津厦门青岛连宁波福沙济肥昆贵阳哈尔滨沈春太原石庄院馆厅酒店育城市韩网络弈快甲联"
    "胜负黑目盘让和";
const char kCommonTraditional[] =
    "的一是在不了有和人這中大為上個國我以要他時來用們生到作地於出就分對成會可主發年動同工也能下過"
    "子說產種面而方後多定行學法所民得經十三之進著等部度家電力裡如水化高自二理起小物現實加量都兩體"
    "制機當使點從業本去把性好應開它合還因由其些然前外天政四日那社義事平形相全表間樣與關各重新線內"
    "數正心反明看原又利比或但質氣第向道命此變條只沒結解問意建月公無系軍很情者最立代想已通並提直題"
    "程展五果料象員革位入常文總次品式活設及管特件長求老頭基資邊流路級少圖山統接知較將組見計別手角"
    "期根論運農指幾九區強放決西被幹做必戰先回則任取據處府王連車金陸張陳劉楊黃趙周吳徐孫胡朱林何郭"
    "馬羅梁宋鄭謝韓唐馮董蕭曹袁鄧許傅沈曾彭呂蘇盧蔣蔡賈丁魏薛葉閻余潘杜戴夏鍾汪田姜范石姚譚廖鄒熊"
    "郝孔白崔康毛邱秦江史顧侯邵孟龍萬段雷錢湯尹黎易武喬賀賴龔偉芳娜敏靜麗磊洋勇艷傑濤超秀霞剛桂英"
    "華玉蘭志紅海峰宇浩軒涵欣怡梓晨辰博俊嘉豪思源冠亞圍棋賽杯名元聖半準預選屆局輪北台臺雄南新竹桃"
    "園隆義彰屏宜花蓮香港澳院館廳酒店育城市網路弈快甲聯勝負黑目盤讓和";
const char kCommonKanji[] =
    "日本人大中小山田川上下井木村林森松竹藤原野口石橋高島谷内外北西東南前後佐鈴伊渡辺加吉斎清水"
    "長岡近坂遠青福太三浦千葉久保岩崎宮今河武杉増丸安和金子平新菅塚一二四五六七八九十郎夫雄男健治"
    "正明秀也彦介之輔哉司誠隆博洋浩実幸恵美香代奈里由紀智裕直樹翔輝悠真優名因坊棋聖王座元碁段位女"
    "流戦杯決勝準予選第期局回対院関京阪都屋浜戸岡幌台広市会館記念囲黒白目半負押時間引分先互";
const char kCommonHangul[] =
    "가각간갈감강개거건걸검겸경계고곤공곽관광교구국군권규균근금기길김나남내녀년노농누능니다단달담당"
    "대덕도동두득라락란람랑래량려력련렬령례로록론료룡루류륜률리린림립마만말망매맹면명모목몽무문물"
    "미민박반방배백범법변병보복봉부북분불비빈사산살삼상새생서석선설섭성세소손송수숙순술숭승시식신"
    "실심아악안암애야약양어억언엄업여역연열염엽영예오옥온완왕외요용우운웅원월위유육윤율은을음응의"
    "이익인일임입자작장재전절점정제조종좌주준중지직진질차찬창채천철청초최추춘충취치칠카쾌타탁태택"
    "토통파판팔패평포표풍피필하학한할함합항해행향허헌혁현혜호홍화환황회효후훈휘희히힘흑집과를에는"
    "드리그씨란울산제";

struct Lists {
    std::bitset<0x10000>
        common[kCodepageCount];  // by Codepage, double-byte codes lead << 8 | trail

    Lists() {
        Converter fromUtf8("UTF-8");
        Add(fromUtf8, kCommonSimplified, Codepage::Gbk);
        Add(fromUtf8, kCommonHangul, Codepage::Cp949);
        Add(fromUtf8, kCommonTraditional, Codepage::Big5);
        Add(fromUtf8, kCommonKanji, Codepage::ShiftJis);
    }

    void Add(Converter& conv, const std::string& utf8, Codepage cp) {
        for (size_t i = 0; i < utf8.size();) {
            size_t len = 1;
            while (i + len < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80) {
                ++len;
            }
            std::string bytes;
            if (conv.Encode(utf8.substr(i, len), cp, bytes) && bytes.size() == 2) {
                common[static_cast<int>(cp)].set(static_cast<unsigned char>(bytes[0]) << 8 |
                                                 static_cast<unsigned char>(bytes[1]));
            }
            i += len;
        }
    }
};

const Lists& CommonLists() {
    static const Lists lists;
    return lists;
}

const int kCommon = 4;    // a frequent character of the language
const int kUsual = 1;     // from the block of frequently used characters
const int kNeutral = 0;   // punctuation, full-width forms
const int kUnusual = -1;  // from the block of rarely used characters
const int kForeign = -2;  // another script's letters in this code page's symbol rows
const int kRare = -4;     // extension areas, half-width forms

// Class of a double-byte character of GBK or CP949, both built on the same rows: lead and trail
// as unsigned bytes, lastUsual the last lead byte of the frequently used block (GB2312 level 1;
// the Hangul syllables). Beyond it come GB2312 level 2 and the Hanja.
int ClassEuc(unsigned lead, unsigned trail, unsigned lastUsual) {
    if (trail < 0xA1 || lead < 0xA1) {
        return kRare;  // the extensions: GBK's beyond GB2312, CP949's rarely written syllables
    }
    if (lead == 0xA1 || lead == 0xA3) {
        return kNeutral;
    }
    if (lead < 0xB0) {
        return kForeign;  // Kana, Greek, Cyrillic, pinyin, box drawing
    }
    return lead <= lastUsual ? kUsual : kUnusual;
}

int ClassBig5(unsigned lead, unsigned trail) {
    const unsigned code = lead << 8 | trail;
    if (code < 0xA440) {
        return kNeutral;  // punctuation and symbols
    }
    if (code <= 0xC67E) {
        return kUsual;
    }
    return code >= 0xC940 ? kUnusual : kRare;
}

int ClassShiftJis(unsigned lead, unsigned trail) {
    const unsigned code = lead << 8 | trail;
    if ((code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396)) {
        return kCommon;  // Hiragana and Katakana: only Japanese writes them
    }
    if (code < 0x8340) {
        return kNeutral;  // punctuation, full-width digits and letters
    }
    if (code < 0x889F) {
        return kForeign;  // Greek, Cyrillic, box drawing, special symbols
    }
    if (code <= 0x9872) {
        return kUsual;  // JIS level 1
    }
    return code <= 0xEAA4 ? kUnusual : kRare;
}

}  // namespace

int PlausibilityScore(const std::string& bytes, Codepage cp) {
    const std::bitset<0x10000>& common = CommonLists().common[static_cast<int>(cp)];
    int score = 0;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (cp == Codepage::ShiftJis && lead >= 0xA1 && lead <= 0xDF) {
            score += kRare;  // half-width Katakana
            ++i;
            continue;
        }
        if (i + 1 >= bytes.size()) {
            break;
        }
        const unsigned trail = static_cast<unsigned char>(bytes[i + 1]);
        i += 2;
        if (common.test(lead << 8 | trail)) {
            score += kCommon;
            continue;
        }
        switch (cp) {
            case Codepage::Gbk:
                score += ClassEuc(lead, trail, 0xD7);
                break;
            case Codepage::Cp949:
                score += ClassEuc(lead, trail, 0xC8);
                break;
            case Codepage::Big5:
                score += ClassBig5(lead, trail);
                break;
            case Codepage::ShiftJis:
                score += ClassShiftJis(lead, trail);
                break;
        }
    }
    return score;
}
