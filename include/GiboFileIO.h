// The file classes for hosts, with the legacy framework's surface. Files are always opened in
// binary at the system level: typeText only documents intent, and CStdioFile::ReadString does
// its own line-end handling, so a record reads the same on every platform. Reads pass through
// an internal buffer, so small reads are cheap. CFile::Write hands the bytes to the system at
// once, so that other readers of the file (SaveFile of a body still being written, say) see
// them; CStdioFile::WriteString collects lines as a stdio stream does, and Flush, Close,
// Abort, a new Open and the destructor write them out. Writing to a file opened only for
// reading raises at once.
#ifndef GIBO_FILEIO_H
#define GIBO_FILEIO_H

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "GiboExport.h"
#include "GiboString.h"

// Raised by CFile for read, write, flush, sync and close failures and for a seek before the
// start of the file or beyond the largest position, as the legacy file layer does; also by
// CGiboFile::LoadFile and SaveFile for their own read and write failures (GiboFile.h). Open never
// raises. m_lOsError is the errno of the failure (0 for a refused seek).
class GIBO_API CFileException : public std::runtime_error {
public:
    enum {
        none = 0,
        generic = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14
    };
    CFileException(int cause, long lOsError, const char* pszFileName);

    int m_cause;
    long m_lOsError;  // errno (or the platform's error code), 0 when none
    CString m_strFileName;
};

class GIBO_API CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();  // as Abort(); call Close() to learn of a failed write or close

    // Nonzero on success, 0 on failure (never raises). modeCreate without modeNoTruncate
    // empties an existing file; without modeCreate the file must exist. On an open object the
    // file open before is written out and closed first; when that fails, the result is 0, the
    // new file is not opened and the object is closed.
    virtual BOOL Open(const char* pszFileName, unsigned nOpenFlags);
    BOOL IsOpen() const;

    virtual unsigned Read(void* lpBuf, unsigned nCount);  // bytes read, 0 at the end
    virtual void Write(const void* lpBuf, unsigned nCount);
    virtual int64_t Seek(int64_t lOff, unsigned nFrom);  // new position
    void SeekToBegin() { Seek(0, begin); }
    int64_t SeekToEnd() { return Seek(0, end); }
    int64_t GetPosition() const;
    int64_t GetLength() const;
    // Writes what WriteString collected to the system; Sync() also asks the system to put the
    // file on disk.
    virtual void Flush();
    void Sync();
    virtual void Close();  // raises when collected data cannot be written or the close fails
    void Abort();          // writes out what WriteString collected and closes, never raising

    CString GetFilePath() const { return m_strFileName; }

protected:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    CString m_strFileName;

    void ThrowIfClosed() const;
    friend class CStdioFile;
};

class GIBO_API CStdioFile : public CFile {
public:
    CStdioFile() = default;
    // Reads the next line without its line end (LF or CR LF; a lone CR stays in the line).
    // A last line without line end is returned too. FALSE, with an empty string, at the end.
    BOOL ReadString(CString& rString);
    // Bytes as given, no line-end translation; collected up to 64 KiB before they go to the
    // system (see the top of this file). A null text writes nothing.
    void WriteString(const char* psz);
};

class GIBO_API CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    // TRUE when the path names an existing file or directory. No wildcards.
    BOOL FindFile(const char* pszName);
    void Close() { m_strFound.Empty(); }
    CString GetFilePath() const { return m_strFound; }

private:
    CString m_strFound;
};

#endif  // GIBO_FILEIO_H
