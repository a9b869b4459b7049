// Loading a record through the library without writing beside it: through a private directory
// (os/workdir.h), where LoadFile leaves its side files.
#ifndef GIBO_TOOLS_RECORD_LOADING_H
#define GIBO_TOOLS_RECORD_LOADING_H

#include <string>

#include "GiboFile.h"

class InputFile;
class PrivateDir;

struct LoadedRecord {
    CGiboFile record;
    CString bodyPath;
    CString audioPath;
    unsigned char type = 255;
    int hasAudio = 0;
    // Bytes of the audio, the last SZAUDIO bytes of the file, that lie before the end of the
    // body's last line: a size the writer cannot have written, which the loader still takes.
    long long audioInBody = 0;
};

// Opens the record at path for loading; false with the library's open error and the reason.
bool OpenRecord(const std::string& path, InputFile& in, std::string& error);

// Loads the record at path, or the file in (already open), through dir. False with a message
// that names the library's error code, or says why the file could not be reached; a private
// copy that does not fit in the temporary directory is named as such, with where it was made.
bool LoadPrivately(const std::string& path, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error);
bool LoadPrivately(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error);

#endif  // GIBO_TOOLS_RECORD_LOADING_H
