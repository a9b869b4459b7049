// Plain words for the library's error codes.
#include "cli/errors.h"

#include <cstdio>

#include "GiboFile.h"

std::string HexCode(unsigned long code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", code);
    return buf;
}

namespace {

std::string Words(unsigned long code, const char* pszWords) {
    return HexCode(code) + ": " + pszWords;
}

}  // namespace

std::string LoadErrorText(unsigned long code) {
    switch (code) {
        case GIBO_ERR_OPEN:
            return Words(code, "cannot open the record for reading");
        case GIBO_ERR_AUDIO_REOPEN:
            return Words(code, "the audio trailer cannot be read (SZAUDIO does not fit the file)");
        case GIBO_ERR_NO_HEADER:
            return Words(code, "no header between \\HS and \\HE");
        case GIBO_ERR_NO_BODY:
            return Words(code, "no body between \\GS and \\GE after the header");
        case GIBO_ERR_BODY_CREATE:
            return Words(code, "cannot create the body file (.lbk)");
        case GIBO_ERR_AUDIO_CREATE:
            return Words(code, "cannot create the audio file (.lao)");
        default:
            return Words(code, "the record cannot be loaded");
    }
}

std::string SaveErrorText(unsigned long code) {
    switch (code) {
        case GIBO_ERR_OPEN:
            return Words(code, "the body file does not exist");
        case GIBO_ERR_BODY_OPEN:
            return Words(code, "the body file cannot be read");
        case GIBO_ERR_AUDIO_OPEN:
            return Words(code, "the audio file cannot be read, or is 2 GiB or more");
        case GIBO_ERR_CREATE:
            return Words(code, "the record file cannot be written");
        default:
            return Words(code, "the record cannot be written");
    }
}
