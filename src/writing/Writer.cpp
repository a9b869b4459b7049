// Joining the parameter text, a body file and an audio file into one record file.
#include <cstdint>
#include <cstring>
#include <string>

#include "GiboFile.h"
#include "framework/Faults.h"
#include "framework/FileFailure.h"
#include "framework/FileSystem.h"
#include "framework/Gbk.h"
#include "writing/BodyScan.h"
#include "writing/Save.h"

namespace {

constexpr size_t kSyncCopyBuffer = 1 << 20;
// How much of the body and of the audio is written before its write-out is started: the body
// passes through a small buffer, and its own smaller pieces let a body of a few MiB reach the
// disk while it is still being copied, which keeps its save near the durable copy's time.
constexpr int64_t kBodyWriteOut = 512 << 10;
constexpr int64_t kAudioWriteOut = 8 << 20;

void AppendItem(std::string& strOut, const char* pszTag, long long nValue) {
    strOut += "\\[";
    strOut += pszTag;
    strOut += " = ";
    strOut += std::to_string(nValue);
    strOut += "\\]\r\n";
}

// Opens the audio file, when the record has one, and takes its size. SZAUDIO is a signed
// 32-bit number: a larger audio file could not be found again.
gibo::Failure OpenAudio(const CString& strAudioPath, bool bHasAudio, gibo::Fd& audio,
                        long long& nAudio) {
    nAudio = 0;
    int64_t length = 0;
    if (bHasAudio && (gibo::OpenFile(strAudioPath, gibo::kRead, audio) != 0 ||
                      gibo::LengthOf(audio.Get(), length) != 0 || length > INT32_MAX)) {
        return gibo::Fail(GIBO_ERR_AUDIO_OPEN);
    }
    nAudio = length;
    return gibo::Failure();
}

// Segments 1 to 5 and the \GS line. Items already in the header get the values in place;
// missing ones get a line of their own, which is not added to the parameter text. In a damaged
// header one item can stand in the other's value ("\[SZAUDIO =\[TYPE = 3\]"), and the second
// replacement then removes the first: an item that does not read back as written also gets a
// line, which the loader finds before it.
std::string BuildHead(CGiboFile& record, unsigned char byType, long long nAudio) {
    const std::string typeText = std::to_string(byType);
    const std::string sizeText = std::to_string(nAudio);
    record.ReplaceParam("TYPE", typeText.c_str());
    record.ReplaceParam("SZAUDIO", sizeText.c_str());
    int bFound = 0;
    const bool bTypeItem = record.GetParam("TYPE", bFound).str() == typeText && bFound;
    const bool bSizeItem = record.GetParam("SZAUDIO", bFound).str() == sizeText && bFound;
    std::string head;
    head.reserve(static_cast<size_t>(record.m_strHeader.GetLength()) + 64);
    head += "\\HS\r\n";
    if (!bTypeItem) {
        AppendItem(head, "TYPE", byType);
    }
    if (!bSizeItem) {
        AppendItem(head, "SZAUDIO", nAudio);
    }
    const std::string& header = record.m_strHeader.str();
    head += header;
    // A lead byte at the end would take the backslash of \HE for its second byte.
    if (gibo::GbkEndsInLoneLead(header.data(), header.size())) {
        head += "\r\n";
    }
    head += "\\HE\r\n\\GS\r\n";
    return head;
}

// A \HE in the header, at a character start, would end it there when the record is loaded:
// the items after it, TYPE and SZAUDIO among them, would be lost.
bool HeaderEndsEarly(const CString& strHeader) {
    const std::string& header = strHeader.str();
    return gibo::GbkFind(header.data(), header.size(), "\\HE", 3) != gibo::kNpos;
}

// Writes the head, the body, \GE and the audio into the temporary.
gibo::Failure WriteParts(int out, const std::string& head, int body, int audio,
                         const CString& strPath) {
    // The body goes through the process, to see what it holds; a \GE stops the copy.
    gibo::BodyScan scan;
    const auto see = [&scan](const char* p, size_t n) {
        scan.Take(p, n);
        return !scan.HoldsMarker();
    };
    gibo::Status s = gibo::WriteAll(out, head.data(), head.size());
    s = s ? s : gibo::CopyThroughBuffer(body, out, gibo::kCopyPiece, kBodyWriteOut, see);
    if (!s && scan.HoldsMarker()) {
        return gibo::Fail(GIBO_ERR_CREATE);
    }
    // A last line that ends in a lone lead byte gets a line end, so that \GE stays a marker.
    const char* end = scan.EndsInLoneLead() ? "\r\n\\GE\r\n" : "\\GE\r\n";
    s = s ? s : gibo::WriteAll(out, end, std::strlen(end));
    // Through a buffer: the system's own copy is slower where the two positions do not line up
    // to pages, as the audio's place after the header and the body never does.
    s = s || audio < 0 ? s : gibo::CopyThroughBuffer(audio, out, kSyncCopyBuffer, kAudioWriteOut);
    return s ? gibo::Raise(GIBO_ERR_CREATE, s, strPath) : gibo::Failure();
}

// Puts the complete temporary in place of the record: its data on disk first, then the rename,
// then the directory entry, so that a power cut leaves the old record or the new one.
gibo::Failure Commit(gibo::Replacement& out, const CString& strPath, bool* pbMoved) {
    if (const gibo::Status s = out.Finish()) {
        return gibo::Raise(GIBO_ERR_CREATE, s, strPath);
    }
    if (const gibo::Status s = out.Place()) {
        if (pbMoved) {
            *pbMoved = s == gibo::kOtherFile;
        }
        return gibo::Fail(GIBO_ERR_CREATE);
    }
    const gibo::Status s = out.SyncPlaced();
    return s ? gibo::Raise(GIBO_ERR_CREATE, s, strPath) : gibo::Failure();
}

// The save, step by step; the caller reports how it ended. pExpected: the file the record must
// still be at the start and at the rename (else *pbMoved is set).
gibo::Failure SaveSteps(CGiboFile& record, unsigned char byType, const CString& strPath,
                        const CString& strBodyPath, const CString& strAudioPath,
                        const gibo::FileId* pExpected, bool* pbMoved) {
    gibo::TestHook("save");
    CFileFind find;
    if (!find.FindFile(strBodyPath)) {
        return gibo::Fail(GIBO_ERR_OPEN);
    }
    if (HeaderEndsEarly(record.m_strHeader)) {
        return gibo::Fail(GIBO_ERR_CREATE);
    }
    const bool bHasAudio = !strAudioPath.IsEmpty() && find.FindFile(strAudioPath);
    // The record is written under a temporary name beside the target and moved into place only
    // when it is complete and on disk: a failed save leaves the old record as it was, and
    // strPath may name the body or audio file itself. A link at strPath stays a link. Nobody
    // replaces a record that they could not have opened for writing, nor anything but a file,
    // nor a file that took the name while the record was written.
    const std::string target = gibo::ResolveLinks(strPath);
    if (gibo::CheckReplaceable(target.c_str()) != 0) {
        return gibo::Fail(GIBO_ERR_CREATE);
    }
    gibo::Fd audio;
    long long nAudio = 0;
    if (gibo::Failure f = OpenAudio(strAudioPath, bHasAudio, audio, nAudio)) {
        return f;
    }
    const std::string head = BuildHead(record, byType, nAudio);
    gibo::Fd body;
    if (gibo::OpenFile(strBodyPath, gibo::kRead, body) != 0) {
        return gibo::Fail(GIBO_ERR_BODY_OPEN);
    }
    gibo::Replacement out;
    if (const gibo::Status s = out.Begin(target.c_str(), pExpected)) {
        if (pbMoved) {
            *pbMoved = s == gibo::kOtherFile;
        }
        return gibo::Fail(GIBO_ERR_CREATE);
    }
    if (gibo::Failure f =
            WriteParts(out.Fd(), head, body.Get(), bHasAudio ? audio.Get() : -1, strPath)) {
        return f;
    }
    // The sources are closed too: a file still open cannot be replaced on every system, and
    // strPath may name one.
    body.Abort();
    audio.Abort();
    return Commit(out, strPath, pbMoved);
}

}  // namespace

int CGiboFile::SaveFile(unsigned char byType, CString strPath, CString strBodyPath,
                        CString strAudioPath) {
    const gibo::Failure failure =
        SaveSteps(*this, byType, strPath, strBodyPath, strAudioPath, nullptr, nullptr);
    return gibo::Conclude(failure, m_dwError);
}

namespace gibo {

int SaveExpecting(CGiboFile& record, unsigned char byType, const char* pszPath,
                  const char* pszBodyPath, const char* pszAudioPath, const FileId& expected,
                  bool& bMoved) {
    bMoved = false;
    const Failure failure =
        SaveSteps(record, byType, pszPath, pszBodyPath, pszAudioPath, &expected, &bMoved);
    return Conclude(failure, record.m_dwError);
}

}  // namespace gibo
