// How a load or a save ends: the error code a step failed with and, for a read or write failure
// of the file layer, the system's error, which reaches the host as CFileException.
#ifndef GIBO_FRAMEWORK_FILEFAILURE_H
#define GIBO_FRAMEWORK_FILEFAILURE_H

#include <string>

#include "framework/SysFile.h"

namespace gibo {

struct Failure {
    unsigned long dwCode = 0;  // 0: no failure
    Status err = 0;            // nonzero: raised, not only reported
    std::string strFile;

    explicit operator bool() const { return dwCode != 0; }
};

inline Failure Fail(unsigned long dwCode) {
    return Failure{dwCode, 0, std::string()};
}
inline Failure Raise(unsigned long dwCode, Status err, const char* pszFile) {
    return Failure{dwCode, err, pszFile ? pszFile : ""};
}

// The CFileException the file layer raises for err on pszFile.
[[noreturn]] void ThrowFileError(Status err, const char* pszFile);

// The one place where a load or a save reports: 1 without failure; else stores the code in
// dwError and returns 0, or raises when the file layer failed to read or write. Call it only
// once the step's files are closed and cleaned up.
int Conclude(const Failure& failure, unsigned long& dwError);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_FILEFAILURE_H
