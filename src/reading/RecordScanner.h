// Reading a record file the one way the loader reads it: the header text from the first \HS to
// the first \HE, the body lines from the first \GS after that to the first \GE (trimmed, the \GE
// line split where it holds several STO records), and the audio as the last SZAUDIO bytes. The
// file is read once, in fixed pieces: a line of any length costs no more memory than a piece,
// and only the header is held. LoadFile writes what it reads into side files; show and index
// count it and write nothing.
#ifndef GIBO_READING_RECORDSCANNER_H
#define GIBO_READING_RECORDSCANNER_H

#include <cstddef>
#include <cstdint>

#include "GiboFile.h"
#include "framework/FileFailure.h"
#include "framework/LineReader.h"

namespace gibo {

enum class Marker { Hs, He, Gs, Ge };

// What the scanner finds, in the order of the file, by 1-based line: each marker with the byte
// offsets of its backslash and of its line's start; each header line from the rest of the \HS line
// on (the last one up to \HE); each body line as the loader writes it (with ScanRecord), whether it
// is empty and whether it begins with "STO".
class ScanEvents {
public:
    virtual ~ScanEvents() = default;
    virtual void OnMarker(Marker /*marker*/, int64_t /*nLine*/, int64_t /*nOffset*/,
                          int64_t /*nLineStart*/) {}
    virtual void OnHeaderLine(const char* /*pText*/, size_t /*nCount*/, int64_t /*nLine*/) {}
    virtual void OnBodyLine(int64_t /*nLine*/, bool /*bEmpty*/, bool /*bSto*/) {}
};

// Where the body text goes: lines ended by CR LF, each whole (Line) or in runs (Text). A line
// may be handed over again from a Mark on: Rewind drops what came after the mark.
class BodySink {
public:
    virtual ~BodySink() = default;
    virtual bool Line(const char* pData, size_t nCount) = 0;
    virtual bool Text(const char* pData, size_t nCount) = 0;
    virtual void Mark() = 0;
    virtual bool Rewind() = 0;
};

class BodyWriter;
class BodyCounter;

class RecordScanner {
public:
    // Reads fd from where it stands; strPath names the file in a read failure.
    RecordScanner(int fd, const CString& strPath, ScanEvents* pEvents = nullptr);

    // The header text, each line ended by CR LF. Fails with GIBO_ERR_NO_HEADER when the file
    // holds no complete header, raises GIBO_ERR_OPEN on a read failure or a header of 2 GiB.
    Failure ReadHeader(CString& strHeader);
    // Passes on to the next marker, at a character start, and stands right after it; false when
    // the file ends first (or on a read failure, which ReadFailure tells). Markers outside a
    // record's order are for files that are no records (a body file's \GE).
    bool Find(Marker marker);
    Status ReadFailure() const { return m_lines.Failure(); }
    // Where the next byte read lies: after ReadHeader, the start of the line after the \HE line.
    int64_t Position() const { return m_lines.Tell(); }
    // The body lines into body, after ReadHeader. Fails with GIBO_ERR_NO_BODY when there is no
    // \GS or no \GE after it, raises GIBO_ERR_OPEN on a read failure. A failure of body ends
    // the scan; the sink tells it, and it comes first.
    Failure ScanBody(BodySink& body);
    // The same for the library's own sinks, whose calls are direct: a call per line costs.
    Failure ScanBody(BodyWriter& body);
    Failure ScanBody(BodyCounter& body);
    // Just past the line end of the line that held \GE, or -1 when that line has no line end;
    // only found when asked for before ScanBody.
    void WantBodyEnd() { m_bWantEnd = true; }
    int64_t BodyEnd() const { return m_nBodyEnd; }
    // The line of the byte the scanner stands at.
    int64_t Line() const { return m_nLine; }

private:
    void Found(Marker marker, int64_t nOffset);
    bool TakeHeaderLine(const char* pLine, size_t n, int64_t nStart, CString& strHeader,
                        bool& bTooLong);
    template <class Sink>
    Failure ScanBodyWith(Sink& body);
    template <class Sink>
    bool TakeShortLine(Sink& body, const char* p, size_t n, bool bRest, bool& bWritten);
    void FindLineEnd(bool bLineEnd);

    LineReader m_lines;
    const CString& m_strPath;
    ScanEvents* m_pEvents;
    int64_t m_nLine = 1;       // of the byte the reader stands at
    int64_t m_nLineStart = 0;  // where that line starts; in the body, only once it is told
    bool m_bInBody = false;    // \GS was found
    bool m_bWantEnd = false;
    int64_t m_nBodyEnd = -1;
};

// A record's audio: nAudio bytes at the end of a file of nLength bytes. A size that the writer
// cannot have stated (negative, 2 GiB or more) or that reaches before the file's start is
// refused (GIBO_ERR_AUDIO_REOPEN) rather than guessed at.
bool AudioFits(long long nAudio, int64_t nLength);

// What show and index learn of a record without writing anything: the lines and STO records
// the loader would write into the body file, and the audio it would copy.
struct RecordSizes {
    long long nBodyLines = 0;
    long long nBodyRecords = 0;  // body lines that begin with "STO"
    long long nAudio = 0;
    long long nAudioInBody = 0;  // audio bytes that lie before the end of the \GE line
    long long nBodyEnd = -1;     // as RecordScanner::BodyEnd, when events were asked for
    long long nLength = 0;       // of the file, when the body was read
};

// Reads the record open at fd into record's parameter text, its type and sizes, failing with
// the codes LoadFile fails with for the same file (but never for a side file: none is made);
// pEvents, if given, hears what is found.
Failure ScanRecord(int fd, const CString& strPath, CGiboFile& record, unsigned char& byType,
                   RecordSizes& sizes, ScanEvents* pEvents = nullptr);

}  // namespace gibo

#endif  // GIBO_READING_RECORDSCANNER_H
