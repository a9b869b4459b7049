#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "GiboFileIO.h"
#include "framework/BulkFile.h"
#include "framework/Faults.h"
#include "framework/SystemPath.h"

// Files are opened by descriptor (so that O_CREAT and friends mean the same everywhere) and
// always in binary: CR LF handling is ReadString's own on every system. Windows gets the
// wide-character calls, see SystemPath.h.
#ifdef _WIN32
#include <io.h>
#define GIBO_OPEN ::_wopen
#define GIBO_CLOSE ::_close
#define GIBO_FDOPEN ::_fdopen
#define GIBO_FSEEK ::_fseeki64
#define GIBO_FTELL ::_ftelli64
#define GIBO_GETC _getc_nolock
#define GIBO_STAT_T struct _stat64
#define GIBO_FSTAT ::_fstat64
#define GIBO_STAT ::_wstat64
#define GIBO_O_BINARY _O_BINARY
#define GIBO_O_CLOEXEC _O_NOINHERIT
#else
#include <unistd.h>
#define GIBO_OPEN ::open
#define GIBO_CLOSE ::close
#define GIBO_FDOPEN ::fdopen
#define GIBO_FSEEK ::fseeko
#define GIBO_FTELL ::ftello
#define GIBO_GETC getc_unlocked
#define GIBO_STAT_T struct stat
#define GIBO_FSTAT ::fstat
#define GIBO_STAT ::stat
#define GIBO_O_BINARY 0
#define GIBO_O_CLOEXEC O_CLOEXEC
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

int CauseOf(int err) {
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

CFileException::CFileException(int cause, long lOsError, const char* pszFileName)
    : std::runtime_error(Describe(cause, lOsError, pszFileName)),
      m_cause(cause),
      m_lOsError(lOsError),
      m_strFileName(pszFileName) {}

struct CFile::Impl {
    FILE* fp = nullptr;
    // The stream's buffer, ours: glibc ignores the size asked for when setvbuf gets no buffer.
    // It must outlive fp, so the stream is always closed before the Impl goes.
    std::unique_ptr<char[]> buffer;
#ifndef _WIN32
    // ReadString's line, kept from call to call so that reading lines allocates nothing.
    char* line = nullptr;
    size_t lineCapacity = 0;
    ~Impl() {
        std::free(line);
    }
#endif
    bool readable = false;
    bool writable = false;
    // stdio needs a seek between a write and a following read (and back).
    enum { kNone, kRead, kWrite } last = kNone;

    void Switch(decltype(last) next) {
        if (last != kNone && last != next) {
            GIBO_FSEEK(fp, 0, SEEK_CUR);
        }
        last = next;
    }
};

CFile::CFile() = default;

CFile::~CFile() {
    Abort();
}

BOOL CFile::IsOpen() const {
    return m_pImpl && m_pImpl->fp;
}

void CFile::ThrowIfClosed() const {
    if (!IsOpen()) {
        throw CFileException(CFileException::invalidFile, 0, m_strFileName);
    }
}

BOOL CFile::Open(const char* pszFileName, unsigned nOpenFlags) {
    Abort();
    gibo::SystemPath path;
    if (!gibo::ToSystemPath(pszFileName, path)) {
        return FALSE;
    }
    int flags = GIBO_O_BINARY | GIBO_O_CLOEXEC;
    const char* mode = "rb";
    auto impl = std::make_unique<Impl>();
    switch (nOpenFlags & 0x3) {
        case modeWrite:
            flags |= O_WRONLY;
            mode = "wb";
            impl->writable = true;
            break;
        case modeReadWrite:
            flags |= O_RDWR;
            mode = "r+b";
            impl->readable = impl->writable = true;
            break;
        default:
            flags |= O_RDONLY;
            impl->readable = true;
            break;
    }
    if (nOpenFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(nOpenFlags & modeNoTruncate)) {
            flags |= O_TRUNC;
        }
    }
    const int fd = gibo::FaultDue(gibo::FileOp::Open) ? -1 : GIBO_OPEN(path.c_str(), flags, 0666);
    if (fd < 0) {
        return FALSE;
    }
    GIBO_STAT_T st;
    if (GIBO_FSTAT(fd, &st) != 0 || (st.st_mode & S_IFMT) == S_IFDIR) {
        GIBO_CLOSE(fd);
        return FALSE;
    }
    impl->fp = GIBO_FDOPEN(fd, mode);
    if (!impl->fp) {
        GIBO_CLOSE(fd);
        return FALSE;
    }
    impl->buffer.reset(new char[kStreamBuffer]);
    std::setvbuf(impl->fp, impl->buffer.get(), _IOFBF, kStreamBuffer);
    m_pImpl = std::move(impl);
    m_strFileName = pszFileName;
    return TRUE;
}

unsigned CFile::Read(void* lpBuf, unsigned nCount) {
    ThrowIfClosed();
    if (nCount == 0) {
        return 0;
    }
    m_pImpl->Switch(Impl::kRead);
    if (gibo::FaultDue(gibo::FileOp::Read)) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    const size_t got = std::fread(lpBuf, 1, nCount, m_pImpl->fp);
    if (got < nCount && std::ferror(m_pImpl->fp)) {
        const int err = errno;
        std::clearerr(m_pImpl->fp);
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    return static_cast<unsigned>(got);
}

void CFile::Write(const void* lpBuf, unsigned nCount) {
    ThrowIfClosed();
    if (nCount == 0) {
        return;
    }
    m_pImpl->Switch(Impl::kWrite);
    if (gibo::FaultDue(gibo::FileOp::Write)) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    errno = 0;
    if (std::fwrite(lpBuf, 1, nCount, m_pImpl->fp) != nCount) {
        const int err = errno ? errno : EIO;
        std::clearerr(m_pImpl->fp);
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
}

int64_t CFile::Seek(int64_t lOff, unsigned nFrom) {
    ThrowIfClosed();
    int whence = SEEK_SET;
    int64_t base = 0;
    if (nFrom == current) {
        whence = SEEK_CUR;
        base = GetPosition();
    } else if (nFrom == end) {
        whence = SEEK_END;
        base = GetLength();
    }
    if (base + lOff < 0) {
        throw CFileException(CFileException::badSeek, 0, m_strFileName);
    }
    if (GIBO_FSEEK(m_pImpl->fp, lOff, whence) != 0) {
        const int err = errno;
        throw CFileException(CFileException::badSeek, err, m_strFileName);
    }
    m_pImpl->last = Impl::kNone;
    return GetPosition();
}

int64_t CFile::GetPosition() const {
    ThrowIfClosed();
    return GIBO_FTELL(m_pImpl->fp);
}

int64_t CFile::GetLength() const {
    ThrowIfClosed();
    std::fflush(m_pImpl->fp);
    GIBO_STAT_T st;
    if (GIBO_FSTAT(fileno(m_pImpl->fp), &st) != 0) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    return static_cast<int64_t>(st.st_size);
}

void CFile::Flush() {
    ThrowIfClosed();
    if (std::fflush(m_pImpl->fp) != 0) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
}

void CFile::Sync() {
    Flush();
#ifdef _WIN32
    const int rc = ::_commit(::_fileno(m_pImpl->fp));
#else
    const int rc = ::fsync(fileno(m_pImpl->fp));
#endif
    if (rc != 0) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
}

void CFile::Close() {
    if (!IsOpen()) {
        m_pImpl.reset();
        return;
    }
    std::unique_ptr<Impl> impl = std::move(m_pImpl);
    // fclose flushes: a full disk shows up here, and must not be lost.
    errno = 0;
    // An injected failure still closes the file, as a failed flush does.
    const bool failed = std::fclose(impl->fp) != 0;
    if (failed || gibo::FaultDue(gibo::FileOp::Close)) {
        const int err = errno ? errno : EIO;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
}

void CFile::Abort() {
    if (IsOpen()) {
        std::fclose(m_pImpl->fp);
    }
    m_pImpl.reset();
}

BOOL CStdioFile::ReadString(CString& rString) {
    ThrowIfClosed();
    m_pImpl->Switch(Impl::kRead);
    if (gibo::FaultDue(gibo::FileOp::Read)) {
        const int err = errno;
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    FILE* fp = m_pImpl->fp;
#ifndef _WIN32
    // getline finds the line end inside the stream's buffer; NUL bytes stay in the line.
    const ssize_t got = ::getline(&m_pImpl->line, &m_pImpl->lineCapacity, fp);
    if (got < 0 && std::ferror(fp)) {
        const int err = errno;
        std::clearerr(fp);
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    if (got < 0 && !std::feof(fp)) {
        throw std::bad_alloc();  // the line could not grow; not the end of the file
    }
    const char* text = m_pImpl->line;
    size_t n = got > 0 ? static_cast<size_t>(got) : 0;
#else
    std::string read;
    int c;
    while ((c = GIBO_GETC(fp)) != EOF) {
        read += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (c == EOF && std::ferror(fp)) {
        const int err = errno;
        std::clearerr(fp);
        throw CFileException(CauseOf(err), err, m_strFileName);
    }
    const char* text = read.data();
    size_t n = read.size();
#endif
    const bool any = n > 0;
    if (n > 0 && text[n - 1] == '\n') {
        --n;
        if (n > 0 && text[n - 1] == '\r') {
            --n;
        }
    }
    if (n > static_cast<size_t>(INT_MAX)) {
        throw CFileException(CFileException::generic, 0, m_strFileName);  // no CString holds it
    }
    // Into the string's own storage: a reused string does not allocate again.
    std::memcpy(rString.GetBuffer(static_cast<int>(n)), text, n);
    rString.ReleaseBuffer(static_cast<int>(n));
    return any ? TRUE : FALSE;
}

void CStdioFile::WriteString(const char* psz) {
    if (psz) {
        Write(psz, static_cast<unsigned>(std::strlen(psz)));
    }
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

namespace gibo {

bool BulkFile::CopyRestTo(BulkFile& to) {
#ifdef __linux__
    // With failures armed, the bytes go through Read and Write, where each can be made to fail.
    if (!IsOpen() || !to.IsOpen() || !m_pImpl->readable || !to.m_pImpl->writable ||
        gibo::FaultsArmed()) {
        return false;
    }
    FILE* in = m_pImpl->fp;
    FILE* out = to.m_pImpl->fp;
    // The system copies between descriptors: what the output stream holds goes first, and the
    // input is read from its logical position, not from where its read-ahead left it.
    if (std::fflush(out) != 0) {
        std::clearerr(out);
        return false;
    }
    const off_t start = GIBO_FTELL(in);
    if (start < 0) {
        return false;
    }
    off64_t at = start;
    bool done = false;
    for (;;) {
        const ssize_t n = ::copy_file_range(fileno(in), &at, fileno(out), nullptr, 1 << 30, 0);
        if (n > 0) {
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        done = n == 0;
        break;
    }
    // Both streams take up where the copy stopped.
    m_pImpl->last = Impl::kNone;
    to.m_pImpl->last = Impl::kNone;
    if (GIBO_FSEEK(in, at, SEEK_SET) != 0) {
        const int err = errno;
        throw CFileException(CFileException::badSeek, err, m_strFileName);
    }
    const off_t written = ::lseek(fileno(out), 0, SEEK_CUR);
    if (written < 0 || GIBO_FSEEK(out, written, SEEK_SET) != 0) {
        const int err = errno;
        throw CFileException(CFileException::badSeek, err, to.m_strFileName);
    }
    return done;
#else
    (void)to;
    return false;
#endif
}

}  // namespace gibo
