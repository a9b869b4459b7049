// Output modes and conversions shared by the subcommands.
#include "cli/tool.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/errors.h"
#include "utf8_text.h"

Tool::Tool(std::string command, std::string charset)
    : m_command(std::move(command)),
      m_terminalCharset(charset),
      m_toTerminal(charset),
      m_toUtf8("UTF-8") {}

bool Tool::Configure(const Args& args, std::string& error) {
    m_json = args.Has("--json");
    m_raw = args.Has("--raw");
    if (m_json && m_raw) {
        error = "--raw and --json exclude each other: JSON is always UTF-8";
        return false;
    }
    const std::string encoding = args.Has("--encoding") ? args.Get("--encoding") : "auto";
    m_forced = encoding != "auto" && encoding != "AUTO";
    if (m_forced && !ParseCodepage(encoding, m_headerCp)) {
        error = "unknown encoding " + encoding + "; valid: auto, GBK, CP949, BIG5, SHIFT_JIS";
        return false;
    }
    if (args.Has("--nation")) {
        long nation = 0;
        if (!ParseNumber(args.Get("--nation"), -2147483647L - 1, 2147483647L, nation)) {
            error = "--nation needs a whole number";
            return false;
        }
        m_nation = static_cast<int>(nation);
    }
    return true;
}

std::string Tool::Display(const std::string& gbk) {
    if (m_raw) {
        return gbk;
    }
    return (m_json ? m_toUtf8 : m_toTerminal).Decode(gbk, Codepage::Gbk);
}

std::string Tool::Header(const std::string& bytes, Codepage cp) {
    if (m_raw) {
        return bytes;
    }
    size_t invalid = 0;
    std::string text = (m_json ? m_toUtf8 : m_toTerminal).Decode(bytes, cp, invalid);
    m_invalid += invalid;
    return text;
}

size_t Tool::TakeInvalid() {
    const size_t n = m_invalid;
    m_invalid = 0;
    return n;
}

void Tool::WarnInvalid(const std::string& file, size_t n, const std::string& cpName,
                       const char* how) {
    if (n > 0) {
        Error(file, "warning: " + std::to_string(n) + " header byte" + (n > 1 ? "s are" : " is") +
                        " not valid " + cpName + " text, " + how + " as \\xNN");
    }
}

Detection Tool::ChooseCodepage(const std::string& headerText) const {
    return m_forced ? Detection{m_headerCp, "option"} : DetectCodepage(ListHeaderItems(headerText));
}

Detection Tool::ChooseCodepage(const std::vector<HeaderItem>& items) const {
    return m_forced ? Detection{m_headerCp, "option"} : DetectCodepage(items);
}

std::string Tool::Path(const std::string& path) const {
    return m_json ? ValidUtf8(path) : path;
}

bool Tool::Input(const std::string& text, Codepage cp, std::string& bytes, std::string& error) {
    if (m_raw) {
        bytes = text;
        return true;
    }
    if (!m_toTerminal.Encode(text, cp, bytes)) {
        error = "\"" + text + "\" cannot be written in " + CodepageName(cp) + " (or is not valid " +
                m_terminalCharset + ")";
        return false;
    }
    return true;
}

std::string Tool::Harmless(const std::string& text, bool oneLine) const {
    const bool utf8 = !m_raw && facts::CodesetIsUtf8(m_terminalCharset);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool c1 = utf8 && c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if ((c < 0x20 && (oneLine || (c != '\n' && c != '\t'))) || c == 0x7F || c1) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X",
                          c1 ? static_cast<unsigned char>(text[++i]) : c);
            out += c1 ? "\\xC2" : "";
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

Value Tool::Result(const std::string& file) const {
    Value v = Value::Map();
    v.Add("file", Value::Str(Path(file)));
    return v;
}

void Tool::Emit(const Value& v) {
    if (m_json) {
        v.WriteJson(std::cout);
        std::cout << '\n';
    } else {
        if (!m_first && v.kind() == Value::Object) {
            std::cout << '\n';
        }
        std::ostringstream text;
        v.WriteText(text);
        std::cout << Harmless(text.str());
    }
    m_first = false;
    // No flush per record: a batch would pay a system call for each. Error() flushes before
    // it writes, so messages still come after the records before them.
    if (!std::cout && m_outputError == 0) {
        m_outputError = errno ? errno : EIO;
    }
}

void Tool::Error(const std::string& file, const std::string& message) {
    std::cout.flush();
    std::cerr << "gibo " << m_command << ": "
              << Harmless((file.empty() ? "" : file + ": ") + message, true) << std::endl;
}

int Tool::Fail(const std::string& file, const std::string& message) {
    Error(file, message);
    return kExitFailed;
}

int Tool::FailRecord(const std::string& file, const std::string& message) {
    Error(file, message);
    if (m_json) {
        Value v = Result(file);
        v.Add("error", Value::Str(Path(message)));
        Emit(v);
    }
    return kExitFailed;
}

int Tool::Usage(const std::string& message) {
    Error("", message);
    std::cerr << "Try 'gibo " << m_command << " --help'." << std::endl;
    return kExitUsage;
}

const char kCommonOptionsHelp[] =
    "\n"
    "Options of every subcommand:\n"
    "  --json             one JSON object per record on stdout (UTF-8)\n"
    "  --raw              no conversion: texts as the record's bytes (GBK), arguments as typed\n"
    "  --encoding CP      code page of header values: auto (default: detected per record),\n"
    "                     GBK, CP949, BIG5 or SHIFT_JIS\n"
    "  --nation N         the host's nation code (foreign players are shown by nick)\n"
    "  -h, --help         this help\n"
    "\n"
    "Exit status: 0 all good, 1 some record failed, 2 usage error.\n";

bool ParseAssignment(Tool& tool, const std::string& text, std::string& tag, std::string& value,
                     std::string& error) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "\"" + text + "\" is not TAG=VALUE";
        return false;
    }
    // Such a tag would not read back as itself: it would open, close or cut an item.
    for (const unsigned char c : text.substr(0, eq)) {
        if (c == '\\' || c == '[' || c == ']' || c == ' ' || c < 0x20 || c == 0x7F) {
            error = "a tag may not hold \\, [, ], blanks or control characters";
            return false;
        }
    }
    return tool.Input(text.substr(0, eq), tool.HeaderCodepage(), tag, error) &&
           tool.Input(text.substr(eq + 1), tool.HeaderCodepage(), value, error);
}
