// Writers of the document tree.
#include "cli/output_tree.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

Value Value::NamedItem(std::string name, std::string value) {
    Value v(Item);
    v.m_members.emplace_back(std::move(name), Str(std::move(value)));
    return v;
}

Value& Value::Add(std::string key, Value v) {
    m_members.emplace_back(std::move(key), std::move(v));
    return m_members.back().second;
}

Value& Value::Push(Value v) {
    m_members.emplace_back(std::string(), std::move(v));
    return m_members.back().second;
}

Value* Value::Find(const std::string& key) {
    for (auto& member : m_members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

std::string JsonQuote(const std::string& s) {
    static const char kNamed[] = "\"\\\n\r\t", kEscaped[] = "\"\\nrt";  // escaped by a letter
    std::string out = "\"";
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        const char* const named = c == '\0' ? nullptr : std::strchr(kNamed, c);
        if (named) {
            out += '\\';
            out += kEscaped[named - kNamed];
        } else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

void Value::WriteJson(std::ostream& out) const {
    switch (m_kind) {
        case Null:
            out << "null";
            break;
        case Bool:
            out << (m_num ? "true" : "false");
            break;
        case Number:
            out << m_num;
            break;
        case String:
            out << JsonQuote(m_str);
            break;
        case Item:
            out << "{\"tag\":" << JsonQuote(m_members[0].first)
                << ",\"value\":" << JsonQuote(m_members[0].second.m_str) << '}';
            break;
        case Array:
        case Object: {
            out << (m_kind == Array ? '[' : '{');
            bool first = true;
            for (const auto& member : m_members) {
                if (!first) {
                    out << ',';
                }
                first = false;
                if (m_kind == Object) {
                    out << JsonQuote(member.first) << ':';
                }
                member.second.WriteJson(out);
            }
            out << (m_kind == Array ? ']' : '}');
            break;
        }
    }
}

namespace {

std::string Label(std::string key) {
    std::replace(key.begin(), key.end(), '_', ' ');
    return key;
}

// A scalar on the rest of the current line; the lines of a multi-line text line up under its
// first character.
void WriteScalar(std::ostream& out, const std::string& text, size_t column) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out << text[i];
        if (text[i] == '\n') {
            out << std::string(column, ' ');
        }
    }
    out << '\n';
}

// "label: text", with no blank at the end of the line when text is empty.
void WriteLabelled(std::ostream& out, const std::string& head, const std::string& text) {
    if (text.empty()) {
        out << head << '\n';
        return;
    }
    out << head << ' ';
    WriteScalar(out, text, head.size() + 1);
}

bool IsScalar(const Value& v) {
    return v.kind() != Value::Array && v.kind() != Value::Object && v.kind() != Value::Item;
}

std::string ScalarText(const Value& v, const std::string& numText) {
    switch (v.kind()) {
        case Value::Null:
            return "-";
        case Value::Bool:
            return numText == "1" ? "yes" : "no";
        case Value::Number:
            return numText;
        default:
            return v.str();
    }
}

}  // namespace

void Value::WriteText(std::ostream& out, int indent) const {
    const std::string pad(static_cast<size_t>(indent), ' ');
    if (m_kind == Item) {
        WriteLabelled(out, pad + m_members[0].first + ":", m_members[0].second.m_str);
        return;
    }
    if (IsScalar(*this)) {
        out << pad;
        WriteScalar(out, ScalarText(*this, std::to_string(m_num)), pad.size());
        return;
    }
    bool first = true;
    for (const auto& member : m_members) {
        const Value& v = member.second;
        if (m_kind == Array) {
            // Elements that are maps are records of a batch or entries of a list: a blank line
            // between them keeps them apart.
            if (v.kind() == Object && !first) {
                out << '\n';
            }
            v.WriteText(out, indent);
            first = false;
            continue;
        }
        first = false;
        const std::string head = pad + Label(member.first) + ":";
        if (IsScalar(v)) {
            WriteLabelled(out, head, ScalarText(v, std::to_string(v.m_num)));
        } else {
            out << head << '\n';
            v.WriteText(out, indent + 2);
        }
    }
}
