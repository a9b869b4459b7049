#include "framework/FileFailure.h"

#include <cerrno>

#include "GiboFileIO.h"

namespace gibo {

namespace {

int CauseOf(Status err) {
    switch (err) {
        case ENOSPC:
            return CFileException::diskFull;
        case EACCES:
        case EPERM:
            return CFileException::accessDenied;
        case ENOENT:
            return CFileException::fileNotFound;
        case EMFILE:
            return CFileException::tooManyOpenFiles;
        default:
            return CFileException::hardIO;
    }
}

}  // namespace

void ThrowFileError(Status err, const char* pszFile) {
    throw CFileException(CauseOf(err), err, pszFile);
}

int Conclude(const Failure& failure, unsigned long& dwError) {
    if (!failure) {
        return 1;
    }
    dwError = failure.dwCode;
    if (failure.err != 0) {
        ThrowFileError(failure.err, failure.strFile.c_str());
    }
    return 0;
}

}  // namespace gibo
