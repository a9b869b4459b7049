// What every subcommand shares: the output mode, the conversions at the tool's edges, and the
// way results and errors are written.
#ifndef GIBO_TOOLS_CLI_TOOL_H
#define GIBO_TOOLS_CLI_TOOL_H

#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/output_tree.h"
#include "text/converter.h"
#include "text/detect.h"

class Tool {
public:
    // charset: the terminal's, for text output and for the arguments the user types.
    Tool(std::string command, std::string charset);

    // Takes the common options (--json, --raw, --encoding, --nation); false with a message.
    bool Configure(const Args& args, std::string& error);

    bool Json() const { return m_json; }
    bool Raw() const { return m_raw; }
    Codepage HeaderCodepage() const { return m_headerCp; }
    bool ForcedCodepage() const { return m_forced; }  // --encoding names a code page
    int Nation() const { return m_nation; }

    // Library texts (GBK) and header values in the output character set. Header bytes that
    // are not valid in cp come out as \xNN and are counted for TakeInvalid.
    std::string Display(const std::string& gbk);
    std::string Header(const std::string& bytes, Codepage cp);
    // The forced code page (reason "option") when --encoding names one, else the detected one.
    Detection ChooseCodepage(const std::string& headerText) const;
    Detection ChooseCodepage(const std::vector<HeaderItem>& items) const;
    // The number of invalid header bytes converted since the last call.
    size_t TakeInvalid();
    // Warns on stderr when n header bytes of file were not valid cpName text, "shown" or
    // "stored" (how) as \xNN.
    void WarnInvalid(const std::string& file, size_t n, const std::string& cpName, const char* how);
    // File names are bytes of the file system; JSON needs them as valid UTF-8.
    std::string Path(const std::string& path) const;
    // A text the user typed, as bytes of cp; false when cp cannot hold it.
    bool Input(const std::string& text, Codepage cp, std::string& bytes, std::string& error);

    // Text for a terminal: control characters (and C1 controls in UTF-8) as \xNN, so that a
    // record cannot send escape sequences. JSON escapes them itself. A message is one line:
    // oneLine escapes line feeds and tabs too, so a file name cannot forge a line of its own.
    std::string Harmless(const std::string& text, bool oneLine = false) const;
    Value Result(const std::string& file) const;  // a map that begins with "file"
    void Emit(const Value& v);  // one result: a JSON line or a text block on stdout
    int OutputError() const { return m_outputError; }  // errno of the first failed write
    // "gibo show: FILE: message" on stderr.
    void Error(const std::string& file, const std::string& message);
    int Fail(const std::string& file, const std::string& message);  // Error(); kExitFailed
    // Fail(), and in JSON {"file", "error"} on stdout in the record's place.
    int FailRecord(const std::string& file, const std::string& message);
    int Usage(const std::string& message);  // reports a usage error; returns kExitUsage

private:
    std::string m_command;
    bool m_json = false;
    bool m_raw = false;
    Codepage m_headerCp = Codepage::Gbk;
    bool m_forced = false;
    size_t m_invalid = 0;
    int m_nation = 0;
    std::string m_terminalCharset;
    Converter m_toTerminal;
    Converter m_toUtf8;
    bool m_first = true;
    int m_outputError = 0;
};

// Shared by the subcommands that take header items: "TAG=VALUE" with the value converted to
// the header's code page. False with a message.
bool ParseAssignment(Tool& tool, const std::string& text, std::string& tag, std::string& value,
                     std::string& error);

// The help lines on the options every subcommand takes.
extern const char kCommonOptionsHelp[];

#endif  // GIBO_TOOLS_CLI_TOOL_H
