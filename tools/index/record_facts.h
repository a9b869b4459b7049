// The facts of a record a collector searches by, from every place a record keeps them: the
// header items (GAMEWHITENAME, GAMEDATE, GAMERESULT, ...) and the game information (ids, nicks,
// level and nation codes, result code and margin, the date's numbers, the move count, the
// condition). Each text is converted from the code page it is in; nothing is read back out of
// the display texts the library composes.
//
// Where two sources disagree, a header item wins when it can be read (people write the items
// and correct them; the game information is what the server wrote at the time), and the game
// information fills what the items lack. Both are kept: the row holds each source's value.
#ifndef GIBO_TOOLS_INDEX_RECORD_FACTS_H
#define GIBO_TOOLS_INDEX_RECORD_FACTS_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "GiboFile.h"
#include "game_date.h"
#include "game_result.h"
#include "record/gameinfo.h"

// The typed fields of interpreted game information: texts as bytes of the record's code page,
// the library's own words (levels, nations) in GBK, numbers as the library holds them.
struct InfoFields {
    struct Side {
        std::string id, nick;        // record's code page
        std::string level, country;  // the library's words for the codes, GBK
    } white, black;
    std::string name, place;  // record's code page
    int resultCode = -1;      // -1: no result item
    int marginTenths = 0;
    int date[5] = {0, 0, 0, -1, -1};  // year, month, day, hour, minute
    bool hasDate = false;
    long moves = -1;     // -1: not given
    int condition = -1;  // handicap code; -1: not given
    int komi = 0;
};

// What the game information of record (already interpreted from text in format) holds.
InfoFields ReadInfoFields(CGiboFile& record, InfoFormat format, const std::string& text);

struct SideFacts {
    std::string name, nick, level, country;            // header items
    std::string id, infoNick, infoLevel, infoCountry;  // game information
    // The name to show: the item's name, else the game information's nick, else its id.
    std::string Shown() const;
    // Every name the player is known by, for searching; the one shown first.
    std::vector<std::string> Names() const;
};

struct RecordFacts {
    SideFacts white, black;
    facts::GameDate dateItem, dateInfo;
    facts::GameResult resultItem, resultInfo;
    long movesInfo = -1;
    long movesBody = -1;
    std::string event, place;  // the items, else the game information's
    int handicap = -1;         // stones; 0 an even game, 1 no komi; -1 unknown
    int komi = 0;
    bool hasKomi = false;

    // The item's date; the game information's where the item has none, or where it says the
    // same and more (the day, the time).
    const facts::GameDate& Date() const {
        return dateItem.known() && dateInfo.iso.compare(0, dateItem.iso.size(), dateItem.iso) != 0
                   ? dateItem
                   : dateInfo;
    }
    const facts::GameResult& Result() const { return resultItem.known() ? resultItem : resultInfo; }
    long Moves() const { return movesInfo >= 0 ? movesInfo : movesBody; }
};

// Bytes of one code page to UTF-8.
using Decode = std::function<std::string(const std::string&)>;

// The row of the library's result table (2 to 8: draw, resignation, time) that a GAMERESULT
// value's bytes are exactly, blanks aside, in any of its code pages; -1 for none. Rows 0 and 1,
// a colour word before a margin, are left to the text's reading.
int ResultTableRow(const std::string& bytes);

// The facts of header items (tag and value as UTF-8) and of the game information (none when
// info is null). record: the record's code page; gbk: the library's. resultRow: the
// ResultTableRow of the GAMERESULT item's bytes, which wins over reading its text.
RecordFacts BuildFacts(const std::vector<std::pair<std::string, std::string>>& items,
                       const InfoFields* info, const Decode& record, const Decode& gbk,
                       int resultRow);

#endif  // GIBO_TOOLS_INDEX_RECORD_FACTS_H
