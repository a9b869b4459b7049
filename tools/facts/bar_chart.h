// Bar charts for a terminal: games per year, or wins and losses per player.
//
// One line per row: the label, padded to the widest label in terminal columns (a CJK character
// takes two), the bar, then the numbers. With one value per row the bar is drawn in eighths of
// a column with Unicode blocks; with several, each value is a segment of its own glyph (wins
// █, losses ░, then ▒). The ASCII style draws with # (then ., +) for terminals whose character
// set is not UTF-8. Labels keep their characters (the caller converts the whole text to the
// terminal's character set, as it does all output); control characters in them become '?',
// so a label read from a record cannot drive the terminal.
#ifndef GIBO_TOOLS_FACTS_BAR_CHART_H
#define GIBO_TOOLS_FACTS_BAR_CHART_H

#include <string>
#include <vector>

namespace facts {

struct ChartRow {
    std::string label;         // UTF-8
    std::vector<long> values;  // one per series; negative values count as 0
};

struct ChartStyle {
    bool unicode = true;  // false: ASCII only for the chart's own characters
    int width = 80;       // terminal columns the lines may fill
    // Series names for a legend line above the rows ("wins", "losses"); none: no legend.
    std::vector<std::string> series;
};

// The chart, one line per row, each ended by "\n"; empty for no rows.
std::string BarChart(const std::vector<ChartRow>& rows, const ChartStyle& style);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_BAR_CHART_H
