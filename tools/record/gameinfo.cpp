// Game information through the public interface of the record object.
#include "record/gameinfo.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <vector>

#include "GiboTags.h"

namespace {

bool IsShortTag(const std::string& tag) {
    return std::any_of(std::begin(g_szShortTag), std::end(g_szShortTag),
                       [&tag](const char* known) { return tag == known; });
}

}  // namespace

InfoFormat DetectInfoFormat(const std::string& text) {
    std::istringstream items(text);
    int known = 0;
    // The library stops at the first empty item as well.
    for (std::string item; std::getline(items, item, ',') && !item.empty(); ++known) {
        const size_t colon = item.find(':');
        if (colon == std::string::npos || !IsShortTag(item.substr(0, colon))) {
            return InfoFormat::Letters;
        }
    }
    return known > 0 ? InfoFormat::Compact : InfoFormat::Letters;
}

const char* InfoFormatName(InfoFormat format) {
    return format == InfoFormat::Compact ? "compact" : "letters";
}

void InterpretInfo(CGiboFile& record, const std::string& text, InfoFormat format) {
    // ParsingTagData takes a writable zero-terminated text.
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    if (format == InfoFormat::Compact) {
        record.SetNewFormat(1);
        record.ParsingTagData(buf.data());
        record.MakeData();
    } else {
        record.SetNewFormat(0);
        record.ParsingTagData(buf.data());
    }
}
