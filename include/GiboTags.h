// Tag-name tables of the record header and of the game-information texts.
#ifndef GIBO_TAGS_H
#define GIBO_TAGS_H

#include "GiboExport.h"

// Separators of readTag/readTagNum by index: 0 ",", 1 "-", 2 ":".
extern "C" GIBO_API const char g_szTagSep[4];

// Long tags of header items \[TAG=value\], by index (1 TYPE, 4 GAMERESULT, 8 GAMETOTALNUM,
// 9 SZAUDIO, 27 GAMEINFOMAIN, ...). No name is the start of another.
enum { GIBO_LONGTAG_COUNT = 32, GIBO_LONGTAG_SLOT = 32 };
extern "C" GIBO_API const char g_szLongTag[GIBO_LONGTAG_COUNT][GIBO_LONGTAG_SLOT];

// Short tags of the compact header (GBKIND, GTYPE, ... BIMG), by index.
enum { GIBO_SHORTTAG_COUNT = 28, GIBO_SHORTTAG_SLOT = 16 };
extern "C" GIBO_API const char g_szShortTag[GIBO_SHORTTAG_COUNT][GIBO_SHORTTAG_SLOT];

#endif  // GIBO_TAGS_H
