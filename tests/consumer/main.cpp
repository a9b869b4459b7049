// Loads a record file and prints its title, as a host would.
// Usage: gibo_consumer RECORD
#include <cstdio>

#include "GiboFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gibo_consumer RECORD\n");
        return 2;
    }
    CGiboFile record;
    CString body, audio;
    unsigned char type = 0;
    int hasAudio = 0;
    if (!record.LoadFile(argv[1], body, audio, type, hasAudio)) {
        std::fprintf(stderr, "cannot load %s: error 0x%08lx\n", argv[1], record.GetError());
        return 1;
    }
    int found = 0;
    CString info = record.GetParam("GAMEINFOMAIN", found);
    if (!found) {
        std::fprintf(stderr, "%s has no game information\n", argv[1]);
        return 1;
    }
    record.ParsingTagData(info.GetBuffer(0));
    info.ReleaseBuffer();
    std::printf("%s\n", static_cast<const char*>(record.GetShowGiboTitle()));
    return 0;
}
