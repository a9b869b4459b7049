// Plain words for the library's error codes.
#include "cli/errors.h"

#include <cstdio>

#include "GiboFile.h"

namespace {

struct Words {
    unsigned long code;
    const char* words;
};

// LoadFile and SaveFile use the same codes for different reasons: one table each, the last row
// for any other code.
const Words kLoadWords[] = {
    {GIBO_ERR_OPEN, "cannot open the record for reading"},
    {GIBO_ERR_AUDIO_REOPEN, "the audio trailer cannot be read (SZAUDIO does not fit the file)"},
    {GIBO_ERR_NO_HEADER, "no header between \\HS and \\HE"},
    {GIBO_ERR_NO_BODY, "no body between \\GS and \\GE after the header"},
    {GIBO_ERR_BODY_CREATE, "cannot create the body file (.lbk)"},
    {GIBO_ERR_AUDIO_CREATE, "cannot create the audio file (.lao)"},
    {0, "the record cannot be loaded"},
};

const Words kSaveWords[] = {
    {GIBO_ERR_OPEN, "the body file does not exist"},
    {GIBO_ERR_BODY_OPEN, "the body file cannot be read"},
    {GIBO_ERR_AUDIO_OPEN, "the audio file cannot be read, or is 2 GiB or more"},
    {GIBO_ERR_CREATE, "the record file cannot be written"},
    {0, "the record cannot be written"},
};

template <size_t N>
std::string Text(const Words (&table)[N], unsigned long code) {
    size_t i = 0;
    while (i + 1 < N && table[i].code != code) {
        ++i;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    return hex + std::string(": ") + table[i].words;
}

}  // namespace

std::string LoadErrorText(unsigned long code) {
    return Text(kLoadWords, code);
}

std::string SaveErrorText(unsigned long code) {
    return Text(kSaveWords, code);
}
