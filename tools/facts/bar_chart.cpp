// Terminal bar charts.
#include "bar_chart.h"

#include <algorithm>

#include "utf8_text.h"

namespace facts {

namespace {

const int kMinBar = 10;  // columns a bar keeps however narrow the terminal

// The glyph of the i-th series of a stacked bar and its legend.
const char* SeriesGlyph(size_t i, bool unicode) {
    static const char* const kUnicode[] = {"█", "░", "▒"};
    static const char* const kAscii[] = {"#", ".", "+"};
    return unicode ? kUnicode[i % 3] : kAscii[i % 3];
}

// The label with its control characters as '?'.
std::u32string SafeLabel(const std::string& label) {
    std::u32string text = DecodeUtf8(label);
    for (char32_t& cp : text) {
        if (IsControl(cp)) {
            cp = '?';
        }
    }
    return text;
}

int LabelWidth(const std::string& label) {
    int width = 0;
    for (char32_t cp : SafeLabel(label)) {
        width += CharWidth(cp);
    }
    return width;
}

// The safe label cut to at most max_width columns (".." marks a cut).
std::string FitLabel(const std::string& label, int max_width, int& width) {
    const std::u32string text = SafeLabel(label);
    std::string out;
    width = 0;
    const bool cut = LabelWidth(label) > max_width;
    const int room = cut ? max_width - 2 : max_width;
    for (char32_t cp : text) {
        if (width + CharWidth(cp) > room) {
            break;
        }
        width += CharWidth(cp);
        AppendUtf8(out, cp);
    }
    if (cut) {
        out += "..";
        width += 2;
    }
    return out;
}

std::string Numbers(const ChartRow& row) {
    std::string out;
    for (size_t i = 0; i < row.values.size(); ++i) {
        out += (i > 0 ? "/" : "") + std::to_string(std::max(0L, row.values[i]));
    }
    return out;
}

long Total(const ChartRow& row) {
    long total = 0;
    for (long v : row.values) {
        total += std::max(0L, v);
    }
    return total;
}

std::string Repeat(const std::string& glyph, long long count) {
    std::string out;
    for (long long i = 0; i < count; ++i) {
        out += glyph;
    }
    return out;
}

// value's share of units, rounded; at least one for a value above zero.
long long Share(long value, long scale_max, long long units) {
    return value <= 0 || scale_max <= 0
               ? 0
               : std::max(1LL, (2LL * value * units + scale_max) / (2LL * scale_max));
}

// One value, with Unicode in eighths of a column.
std::string SingleBar(long value, long scale_max, int columns, bool unicode) {
    static const char* const kEighths[] = {"", "▏", "▎", "▍", "▌", "▋", "▊", "▉"};
    if (!unicode) {
        return Repeat("#", Share(value, scale_max, columns));
    }
    const long long eighths = Share(value, scale_max, 8LL * columns);
    return Repeat("█", eighths / 8) + kEighths[eighths % 8];
}

// Several values, each in whole columns of its own glyph.
std::string StackedBar(const ChartRow& row, long scale_max, int columns, bool unicode) {
    std::string bar;
    for (size_t i = 0; i < row.values.size(); ++i) {
        bar += Repeat(SeriesGlyph(i, unicode), Share(row.values[i], scale_max, columns));
    }
    return bar;
}

std::string Legend(const ChartStyle& style) {
    std::string out;
    for (size_t i = 0; i < style.series.size(); ++i) {
        out +=
            std::string(i > 0 ? "  " : "") + SeriesGlyph(i, style.unicode) + " " + style.series[i];
    }
    return out.empty() ? out : out + "\n";
}

}  // namespace

std::string BarChart(const std::vector<ChartRow>& rows, const ChartStyle& style) {
    if (rows.empty()) {
        return std::string();
    }
    int label_width = 0;
    size_t number_width = 0;
    long scale_max = 0;
    bool stacked = false;
    for (const ChartRow& row : rows) {
        label_width = std::max(label_width, LabelWidth(row.label));
        number_width = std::max(number_width, Numbers(row).size());
        scale_max = std::max(scale_max, Total(row));
        stacked = stacked || row.values.size() > 1;
    }
    label_width = std::min(label_width, std::max(4, style.width / 3));
    const int columns =
        std::max(kMinBar, style.width - label_width - static_cast<int>(number_width) - 4);
    std::string out = Legend(style);
    for (const ChartRow& row : rows) {
        int width = 0;
        out += FitLabel(row.label, label_width, width);
        out += std::string(static_cast<size_t>(std::max(0, label_width - width)) + 2, ' ');
        const std::string bar = stacked ? StackedBar(row, scale_max, columns, style.unicode)
                                        : SingleBar(Total(row), scale_max, columns, style.unicode);
        out += bar + (bar.empty() ? "" : " ") + Numbers(row) + "\n";
    }
    return out;
}

}  // namespace facts
