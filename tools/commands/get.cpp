// gibo get: header items of a record.
#include "cli/command.h"
#include "cli/errors.h"
#include "record/header_items.h"
#include "record/loading.h"

namespace {

const char kHelp[] =
    "Usage: gibo get [OPTIONS] RECORD TAG...\n"
    "\n"
    "Prints the values of header items, as the library's GetParam reads them (the first item\n"
    "of the tag), without the blanks and line ends at either end. With one tag only the value\n"
    "is printed; with several, one \"TAG: value\" line each. A missing item is an error.\n";

int RunGet(Tool& tool, const Args& args) {
    if (args.operands.size() < 2) {
        return tool.Usage("give a record and at least one tag");
    }
    const std::string& path = args.operands[0];
    std::string error;
    ScannedRecord loaded;
    if (!ReadRecord(path, loaded, error)) {
        return tool.Fail(path, error);
    }
    int status = kExitOk;
    Value items = Value::List();
    Value map = Value::Map();
    std::string shown;  // the last value found: all that one tag prints
    const Codepage cp = tool.ChooseCodepage(loaded.record.m_strHeader.str()).cp;
    for (size_t i = 1; i < args.operands.size(); ++i) {
        std::string tag;
        if (!tool.Input(args.operands[i], cp, tag, error)) {
            return tool.Usage(error);
        }
        int found = 0;
        const std::string value = TrimValue(loaded.record.GetParam(tag.c_str(), found).str());
        if (!found) {
            status = tool.Fail(path, "no item " + args.operands[i]);
            map.Add(args.operands[i], Value());
            continue;
        }
        shown = tool.Header(value, cp);
        map.Add(args.operands[i], Value::Str(shown));
        items.Push(Value::NamedItem(args.operands[i], shown));
    }
    if (tool.Json()) {
        Value v = tool.Result(path);
        v.Add("items", std::move(map));
        tool.Emit(v);
    } else if (args.operands.size() > 2) {
        tool.Emit(items);
    } else if (status == kExitOk) {
        tool.Emit(Value::Str(shown));
    }
    return status;
}

}  // namespace

Command GetCommand() {
    return {"get", "print header items of a record", kHelp, {}, RunGet};
}
