// The typed facts a search needs (winner, margin, date, move count, handicap), read back from
// the display texts the library composed, so that the index answers exactly what a host shows
// whichever vocabulary the game information was written in.
#ifndef GIBO_TOOLS_INDEX_GAME_FACTS_H
#define GIBO_TOOLS_INDEX_GAME_FACTS_H

#include <optional>
#include <string>

#include "GiboFile.h"

struct GameFacts {
    std::string whiteName;  // header bytes, as shown (nick or id)
    std::string blackName;
    int whiteLevel = 0;  // level codes
    int blackLevel = 0;
    std::optional<std::string> winner;  // "black", "white", "draw"
    std::optional<double> margin;       // points, for a win on the score
    std::optional<std::string> date;    // ISO 8601, "2013-01-07T14:05"
    std::optional<long> moves;
    std::optional<int> handicap;  // stones; 0 even, 1 no komi
    int komi = 0;
    int rule = 0;
};

// From a record whose game information has been interpreted (letters or compact).
GameFacts ReadGameFacts(CGiboFile& record);

#endif  // GIBO_TOOLS_INDEX_GAME_FACTS_H
