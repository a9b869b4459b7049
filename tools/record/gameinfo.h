// Interpreting a game-information text the way a host does.
#ifndef GIBO_TOOLS_RECORD_GAMEINFO_H
#define GIBO_TOOLS_RECORD_GAMEINFO_H

#include <string>

#include "GiboFile.h"

enum class InfoFormat { Letters, Compact };

// A text whose items, up to the first empty one, are all "TAG:value" with a known short tag is
// a compact header; anything else is read as code letters.
InfoFormat DetectInfoFormat(const std::string& text);
const char* InfoFormatName(InfoFormat format);

// Compact: new-format flag set, ParsingTagData, then MakeData. Letters: flag clear and
// ParsingTagData, which composes the display fields itself.
void InterpretInfo(CGiboFile& record, const std::string& text, InfoFormat format);

#endif  // GIBO_TOOLS_RECORD_GAMEINFO_H
