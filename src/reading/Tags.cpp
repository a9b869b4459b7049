// Tag names of the record header and the item separators.
#include "GiboTags.h"

extern "C" {

const char g_szTagSep[4] = {',', '-', ':', '\0'};

const char g_szLongTag[GIBO_LONGTAG_COUNT][GIBO_LONGTAG_SLOT] = {
    "GIBOKIND",       "TYPE",           "GAMECONDITION",    "GAMETIME",         "GAMERESULT",
    "GAMEZIPSU",      "GAMEDUM",        "GAMEGONGJE",       "GAMETOTALNUM",     "SZAUDIO",
    "GAMENAME",       "GAMEDATE",       "GAMEPLACE",        "GAMELECNAME",      "GAMEWHITENAME",
    "GAMEWHITELEVEL", "GAMEWHITENICK",  "GAMEWHITECOUNTRY", "GAMEWAVATA",       "GAMEWIMAGE",
    "GAMEBLACKNAME",  "GAMEBLACKLEVEL", "GAMEBLACKNICK",    "GAMEBLACKCOUNTRY", "GAMEBAVATA",
    "GAMEBIMAGE",     "GAMECOMMENT",    "GAMEINFOMAIN",     "GAMEINFOSUB",      "WUSERINFO",
    "BUSERINFO",      "GAMETAG",
};

const char g_szShortTag[GIBO_SHORTTAG_COUNT][GIBO_SHORTTAG_SLOT] = {
    "GBKIND", "GTYPE", "GCDT",  "GTIME", "GRLT",  "ZIPSU", "DUM",  "GONGJE", "TCNT",  "AUSZ",
    "GNAMEF", "GPLCF", "GNAME", "GDATE", "GPLC",  "GCMT",  "WID",  "WLV",    "WNICK", "WNCD",
    "WAID",   "WIMG",  "BID",   "BLV",   "BNICK", "BNCD",  "BAID", "BIMG",
};

}  // extern "C"
