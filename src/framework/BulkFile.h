// A CFile whose remaining bytes can be copied to another such file inside the system, as cp
// copies: where the system offers it (Linux's copy_file_range), the bytes never pass through
// this process. The record loader's audio and the writer's body and audio go this way.
#ifndef GIBO_FRAMEWORK_BULKFILE_H
#define GIBO_FRAMEWORK_BULKFILE_H

#include "GiboFileIO.h"

namespace gibo {

class BulkFile : public CFile {
public:
    // Copies from this file's position to its end to `to` at its position, including what
    // either stream still buffers. True when everything was copied; false when the system
    // cannot copy or stopped with a failure, with both files positioned where it stopped, so
    // that the caller goes on with Read and Write (which report what failed, and how). Raises
    // CFileException (badSeek) only when a file cannot be positioned after the copy.
    bool CopyRestTo(BulkFile& to);
};

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_BULKFILE_H
