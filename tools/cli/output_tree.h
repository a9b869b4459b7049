// A small document tree that every subcommand fills once and that is then written either as
// JSON (one object per line, for scripts) or as indented "label: value" text (for people).
#ifndef GIBO_TOOLS_CLI_OUTPUT_TREE_H
#define GIBO_TOOLS_CLI_OUTPUT_TREE_H

#include <ostream>
#include <string>
#include <utility>
#include <vector>

class Value {
public:
    enum Kind { Null, Bool, Number, String, Array, Object, Item };

    Value() = default;
    static Value Str(std::string s) { return Value(String, std::move(s)); }
    static Value Num(long long n) { return Value(Number, std::string(), n); }
    static Value Flag(bool b) { return Value(Bool, std::string(), b ? 1 : 0); }
    static Value List() { return Value(Array); }
    static Value Map() { return Value(Object); }
    // A named entry of a list whose names may repeat (header items): written as
    // {"tag": name, "value": value} in JSON and as "name: value" in text.
    static Value NamedItem(std::string name, std::string value);

    Kind kind() const { return m_kind; }
    // Strings are held in the output character set already: UTF-8 for JSON.
    const std::string& str() const { return m_str; }

    Value& Add(std::string key, Value v);  // Map: appends a member, returns it
    Value& Push(Value v);                  // List: appends an element, returns it
    Value* Find(const std::string& key);

    void WriteJson(std::ostream& out) const;
    // Member keys become labels with "_" shown as a blank; CR LF inside a value starts a new
    // line indented under the value.
    void WriteText(std::ostream& out, int indent = 0) const;

private:
    explicit Value(Kind kind, std::string s = std::string(), long long n = 0)
        : m_kind(kind), m_str(std::move(s)), m_num(n) {}

    Kind m_kind = Null;
    std::string m_str;
    long long m_num = 0;
    std::vector<std::pair<std::string, Value>> m_members;  // Array: keys unused
};

// The text of s as a JSON string literal, quotes included. s must be UTF-8.
std::string JsonQuote(const std::string& s);

#endif  // GIBO_TOOLS_CLI_OUTPUT_TREE_H
