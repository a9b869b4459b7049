// Reading a record through the library without writing beside it: through the library's scanner,
// which writes nothing, or, where the side files themselves are wanted, loading it through a
// private directory (os/workdir.h), where LoadFile leaves them.
#ifndef GIBO_TOOLS_RECORD_LOADING_H
#define GIBO_TOOLS_RECORD_LOADING_H

#include <string>

#include "GiboFile.h"
#include "reading/RecordScanner.h"

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

// A record read without side files: its header in record, its type and sizes.
struct ScannedRecord {
    CGiboFile record;
    unsigned char type = 255;
    gibo::RecordSizes sizes;
    unsigned long error = 0;  // the library's code when the record could not be read
};

// Reads the record at path as LoadFile reads it, without writing anything or copying its audio.
// False with a message as LoadPrivately gives it for the same record.
bool ReadRecord(const std::string& path, ScannedRecord& scanned, std::string& error);

// Opens the record at path for loading; false with the library's open error and the reason.
bool OpenRecord(const std::string& path, InputFile& in, std::string& error);

// Loads the record open in through dir. False with a message that names the library's error
// code; a private copy that does not fit in the temporary directory is named as such, with where
// it was made.
bool LoadPrivately(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error);

#endif  // GIBO_TOOLS_RECORD_LOADING_H
