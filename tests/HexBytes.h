// Byte strings written as hex pairs ("C8 C3 32"), so that expected texts are transcribed
// independently of the escapes in the library's sources.
#ifndef GIBO_TESTS_HEXBYTES_H
#define GIBO_TESTS_HEXBYTES_H

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

inline std::string Hex(const char* pszPairs) {
    std::istringstream in(pszPairs);
    std::string pair;
    std::string out;
    while (in >> pair) {
        out += static_cast<char>(std::strtoul(pair.c_str(), nullptr, 16));
    }
    return out;
}

// A display text with its GBK words named in angle brackets, or given as hex pairs there:
// Gbk("<black> 6<pts> <half><win>"), Gbk("<B0 D7 3A>w").
inline std::string Gbk(const std::string& text) {
    // 黑 白 目 胜 半 级 段 职业 总 数 时 时间 分 秒 读秒 番 年 月 日 上午 下午 黑贴 限制时间 让子棋
    // 棋中盘胜, in this order.
    static const std::string kWords =
        ";black=BA DA;white=B0 D7;pts=C4 BF;win=CA A4;half=B0 EB;kyu=BC B6;dan=B6 CE"
        ";pro=D6 B0 D2 B5;total=D7 DC;moves=CA FD;h=CA B1;hours=CA B1 BC E4;min=B7 D6;sec=C3 EB"
        ";byo=B6 C1 C3 EB;times=B7 AC;year=C4 EA;month=D4 C2;day=C8 D5;am=C9 CF CE E7"
        ";pm=CF C2 CE E7;komi=BA DA CC F9;limit=CF DE D6 C6 CA B1 BC E4;handicap=C8 C3 D7 D3 C6 E5"
        ";resign=C6 E5 D6 D0 C5 CC CA A4;";
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '<') {
            out += text[i];
            continue;
        }
        const size_t close = text.find('>', i);
        const std::string name = text.substr(i + 1, close - i - 1);
        const bool hex = name.find_first_not_of("0123456789ABCDEF ") == std::string::npos;
        std::string bytes = hex ? Hex(name.c_str()) : "";
        const size_t word = kWords.find(";" + name + "=");
        if (word != std::string::npos) {
            const size_t from = word + name.size() + 2;
            bytes = Hex(kWords.substr(from, kWords.find(';', from) - from).c_str());
        }
        if (close == std::string::npos || bytes.empty()) {
            throw std::invalid_argument("Gbk: bad word in " + text);
        }
        out += bytes;
        i = close;
    }
    return out;
}

#endif  // GIBO_TESTS_HEXBYTES_H
