// CFile, CStdioFile and CFileFind for hosts: thin, raising wrappers over the file layer
// (SysFile.h). Reads go through a buffer, so that small reads cost few calls. CFile::Write goes
// to the system at once, as the legacy class does: other readers see the bytes, and nothing
// can be lost when the object goes. Only CStdioFile::WriteString collects its lines in the
// buffer, as a stdio stream would, until a flush, close, abort, reopen or destruction.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <sys/stat.h>

#include "GiboFileIO.h"
#include "framework/FileFailure.h"
#include "framework/SysFile.h"
#include "framework/SystemPath.h"

#ifdef _WIN32
#define GIBO_STAT_T struct _stat64
#define GIBO_STAT ::_wstat64
#else
#define GIBO_STAT_T struct stat
#define GIBO_STAT ::stat
#endif

namespace {

// Large enough that reading and writing in small steps costs few system calls.
constexpr size_t kStreamBuffer = 64 * 1024;

std::string Describe(int cause, long err, const char* name) {
    std::string s = "gibo: file error ";
    s += std::to_string(cause);
    if (name && *name) {
        s += " on '";
        s += name;
        s += "'";
    }
    if (err) {
        s += ": ";
        s += std::strerror(static_cast<int>(err));
    }
    return s;
}

void Check(gibo::Status status, const CString& strFile) {
    if (status != 0) {
        gibo::ThrowFileError(status, strFile);
    }
}

}  // namespace

CFileException::CFileException(int cause, long lOsError, const char* pszFileName)
    : std::runtime_error(Describe(cause, lOsError, pszFileName)),
      m_cause(cause),
      m_lOsError(lOsError),
      m_strFileName(pszFileName) {}

// One buffer serves reading ahead and WriteString's writing behind, never both at once: bytes
// [rpos, rend) are the file's next bytes, or the first wlen bytes still have to be written.
struct CFile::Impl {
    gibo::Fd fd;
    std::unique_ptr<char[]> buffer{new char[kStreamBuffer]};
    size_t rpos = 0;
    size_t rend = 0;
    size_t wlen = 0;
    bool writable = false;
    std::string line;  // ReadString's, kept from call to call

    gibo::Status FlushWrites() {
        const size_t n = wlen;
        wlen = 0;  // a failed write is reported once, not again at every later call
        return n ? gibo::WriteAll(fd.Get(), buffer.get(), n) : 0;
    }
    // Gives the read-ahead back to the file, so that its position is the logical one.
    gibo::Status DropReadAhead() {
        const auto ahead = static_cast<int64_t>(rend - rpos);
        rpos = rend = 0;
        int64_t at = 0;
        return ahead ? gibo::SeekFd(fd.Get(), -ahead, SEEK_CUR, at) : 0;
    }
    gibo::Status Fill() {
        rpos = 0;
        return gibo::ReadSome(fd.Get(), buffer.get(), kStreamBuffer, rend);
    }
};

CFile::CFile() = default;

CFile::~CFile() {
    Abort();
}

BOOL CFile::IsOpen() const {
    return m_pImpl && m_pImpl->fd.IsOpen();
}

void CFile::ThrowIfClosed() const {
    if (!IsOpen()) {
        throw CFileException(CFileException::invalidFile, 0, m_strFileName);
    }
}

BOOL CFile::Open(const char* pszFileName, unsigned nOpenFlags) {
    if (IsOpen()) {  // the file open before goes as Close() lets it go, but without raising
        std::unique_ptr<Impl> impl = std::move(m_pImpl);
        const gibo::Status written = impl->FlushWrites();
        if (impl->fd.Close() != 0 || written != 0) {
            return FALSE;
        }
    }
    m_pImpl.reset();
    unsigned mode = gibo::kRead;
    if ((nOpenFlags & 0x3) == modeWrite) {
        mode = gibo::kWrite;
    } else if ((nOpenFlags & 0x3) == modeReadWrite) {
        mode = gibo::kRead | gibo::kWrite;
    }
    if (nOpenFlags & modeCreate) {
        mode |= gibo::kCreate | ((nOpenFlags & modeNoTruncate) ? 0u : unsigned{gibo::kTruncate});
    }
    auto impl = std::make_unique<Impl>();
    impl->writable = (mode & gibo::kWrite) != 0;
    if (gibo::OpenFile(pszFileName, mode, impl->fd) != 0) {
        return FALSE;
    }
    m_pImpl = std::move(impl);
    m_strFileName = pszFileName;
    return TRUE;
}

unsigned CFile::Read(void* lpBuf, unsigned nCount) {
    ThrowIfClosed();
    Impl& f = *m_pImpl;
    Check(f.FlushWrites(), m_strFileName);
    char* out = static_cast<char*>(lpBuf);
    size_t done = 0;
    while (done < nCount) {
        if (f.rpos < f.rend) {
            const size_t n = std::min(f.rend - f.rpos, nCount - done);
            std::memcpy(out + done, f.buffer.get() + f.rpos, n);
            f.rpos += n;
            done += n;
            continue;
        }
        size_t got = 0;
        if (nCount - done >= kStreamBuffer) {  // large reads go to the caller directly
            Check(gibo::ReadSome(f.fd.Get(), out + done, nCount - done, got), m_strFileName);
            done += got;
        } else {
            Check(f.Fill(), m_strFileName);
            got = f.rend;
        }
        if (got == 0) {
            break;
        }
    }
    return static_cast<unsigned>(done);
}

void CFile::Write(const void* lpBuf, unsigned nCount) {
    ThrowIfClosed();
    Impl& f = *m_pImpl;
    if (!f.writable) {
        throw CFileException(CFileException::accessDenied, EBADF, m_strFileName);
    }
    // After what WriteString collected, where a read stopped, not after the read-ahead.
    Check(f.FlushWrites(), m_strFileName);
    Check(f.DropReadAhead(), m_strFileName);
    Check(gibo::WriteAll(f.fd.Get(), lpBuf, nCount), m_strFileName);
}

int64_t CFile::Seek(int64_t lOff, unsigned nFrom) {
    ThrowIfClosed();
    const int64_t base = nFrom == current ? GetPosition() : nFrom == end ? GetLength() : 0;
    // Checked before adding: a position beyond what the file layer counts, or before the
    // start, is a bad seek, not an overflow.
    if ((lOff > 0 && base > INT64_MAX - lOff) || base + lOff < 0) {
        throw CFileException(CFileException::badSeek, 0, m_strFileName);
    }
    Impl& f = *m_pImpl;
    Check(f.FlushWrites(), m_strFileName);
    f.rpos = f.rend = 0;
    int64_t at = 0;
    if (const gibo::Status s = gibo::SeekFd(f.fd.Get(), base + lOff, SEEK_SET, at)) {
        throw CFileException(CFileException::badSeek, s, m_strFileName);
    }
    return at;
}

int64_t CFile::GetPosition() const {
    ThrowIfClosed();
    const Impl& f = *m_pImpl;
    int64_t at = 0;
    Check(gibo::SeekFd(f.fd.Get(), 0, SEEK_CUR, at), m_strFileName);
    return at - static_cast<int64_t>(f.rend - f.rpos) + static_cast<int64_t>(f.wlen);
}

int64_t CFile::GetLength() const {
    ThrowIfClosed();
    Check(m_pImpl->FlushWrites(), m_strFileName);
    int64_t length = 0;
    Check(gibo::LengthOf(m_pImpl->fd.Get(), length), m_strFileName);
    return length;
}

void CFile::Flush() {
    ThrowIfClosed();
    Check(m_pImpl->FlushWrites(), m_strFileName);
}

void CFile::Sync() {
    Flush();
    Check(gibo::SyncData(m_pImpl->fd.Get()), m_strFileName);
}

void CFile::Close() {
    if (!IsOpen()) {
        m_pImpl.reset();
        return;
    }
    // The last buffered write and close itself report a full disk: it must not be lost.
    std::unique_ptr<Impl> impl = std::move(m_pImpl);
    const gibo::Status written = impl->FlushWrites();
    const gibo::Status closed = impl->fd.Close();
    Check(written ? written : closed, m_strFileName);
}

void CFile::Abort() {
    if (IsOpen()) {
        m_pImpl->FlushWrites();  // never raises: a failure here cannot be reported
    }
    m_pImpl.reset();
}

BOOL CStdioFile::ReadString(CString& rString) {
    ThrowIfClosed();
    Impl& f = *m_pImpl;
    Check(f.FlushWrites(), m_strFileName);
    std::string& line = f.line;
    line.clear();
    bool any = false;
    bool ended = false;
    while (!ended) {
        if (f.rpos == f.rend) {
            Check(f.Fill(), m_strFileName);
            if (f.rend == 0) {
                break;
            }
        }
        const char* start = f.buffer.get() + f.rpos;
        const size_t avail = f.rend - f.rpos;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', avail));
        const size_t n = lf ? static_cast<size_t>(lf - start) : avail;
        if (line.size() + n > static_cast<size_t>(INT_MAX)) {
            line.clear();
            throw CFileException(CFileException::generic, 0, m_strFileName);  // no CString holds it
        }
        line.append(start, n);
        f.rpos += lf ? n + 1 : n;
        any = true;
        ended = lf != nullptr;
    }
    if (ended && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    // Into the string's own storage: a reused string does not allocate again.
    const int n = static_cast<int>(line.size());
    std::memcpy(rString.GetBuffer(n), line.data(), line.size());
    rString.ReleaseBuffer(n);
    return any ? TRUE : FALSE;
}

void CStdioFile::WriteString(const char* psz) {
    if (!psz) {
        return;
    }
    ThrowIfClosed();
    Impl& f = *m_pImpl;
    if (!f.writable) {  // refused now, as the system would, not when the buffer goes out
        throw CFileException(CFileException::accessDenied, EBADF, m_strFileName);
    }
    const size_t n = std::strlen(psz);
    if (f.wlen + n > kStreamBuffer) {
        Check(f.FlushWrites(), m_strFileName);
    }
    if (n >= kStreamBuffer) {
        Write(psz, static_cast<unsigned>(n));
        return;
    }
    Check(f.DropReadAhead(), m_strFileName);
    std::memcpy(f.buffer.get() + f.wlen, psz, n);
    f.wlen += n;
}

BOOL CFileFind::FindFile(const char* pszName) {
    Close();
    gibo::SystemPath path;
    GIBO_STAT_T st;
    if (!gibo::ToSystemPath(pszName, path) || GIBO_STAT(path.c_str(), &st) != 0) {
        return FALSE;
    }
    m_strFound = pszName;
    return TRUE;
}
