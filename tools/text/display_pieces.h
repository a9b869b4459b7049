// The library's display texts, readable whatever code page the record is in. The library
// composes them in GBK around the players' names, which are in the record's code page: a
// Korean name in a GBK template reads as nonsense whichever way the whole is converted. So the
// texts are composed once more by the library itself, the names replaced by ASCII placeholders;
// the GBK template is converted, and each name, converted from the record's code page, is put
// in its place. The library stays the one source of the texts' form.
#ifndef GIBO_TOOLS_TEXT_DISPLAY_PIECES_H
#define GIBO_TOOLS_TEXT_DISPLAY_PIECES_H

#include <string>
#include <vector>

#include "GiboFile.h"
#include "cli/output_tree.h"
#include "cli/tool.h"
#include "text/converter.h"

// The display strings (players in both forms, game type and name, date, time control,
// condition, result, move count, title) of record, whose game information has been
// interpreted (compact: the new-format flag set), names in code page cp, the rest in GBK. The
// game name is the GAMENAME item's where the game information has none. keys, when not empty:
// only these strings.
Value DisplayPieces(const CGiboFile& record, Codepage cp, Tool& tool,
                    const std::vector<std::string>& keys = {});

#endif  // GIBO_TOOLS_TEXT_DISPLAY_PIECES_H
