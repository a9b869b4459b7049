// Reference blocks \RS...\RE: items describing one reference, in a file the host opened.
#include <cstdlib>
#include <cstring>
#include <string>

#include "GiboFile.h"
#include "framework/Gbk.h"
#include "reading/Number.h"

int CGiboFile::AppendReference(CFile* pFile, unsigned short wSusun, CString strExplain,
                               unsigned short wRefNum, unsigned char* pGibo, int nGiboLen) {
    if (!pFile) {
        return 0;
    }
    pFile->SeekToEnd();
    std::string block = "\r\n\\RS\r\n\\[REFSUSUN = " + std::to_string(wSusun) + "\\]\r\n";
    if (!strExplain.IsEmpty()) {
        block += "\\[REFEXPLAIN = \r\n";
        block += strExplain.str();
        block += "\r\n\\]\r\n";
    }
    if (wRefNum != 0) {
        block += "\\[REFNUM = " + std::to_string(wRefNum) + "\\]\r\n";
    }
    // A lead byte without its second byte at the end would take the closer's backslash for
    // it, and the block would read back without its game: dropped, as SetParam drops it.
    if (pGibo && nGiboLen > 0 &&
        gibo::GbkEndsInLoneLead(reinterpret_cast<const char*>(pGibo),
                                static_cast<size_t>(nGiboLen))) {
        --nGiboLen;
    }
    const bool bGibo = pGibo && nGiboLen > 0;
    if (bGibo) {
        block += "\\[REFGIBO = \r\n";
    }
    // The game bytes go straight from the caller's buffer: no copy of a large game.
    pFile->Write(block.data(), static_cast<unsigned>(block.size()));
    block.clear();
    if (bGibo) {
        pFile->Write(pGibo, static_cast<unsigned>(nGiboLen));
        block += "\\]\r\n";
    }
    block += "\\RE\r\n";
    pFile->Write(block.data(), static_cast<unsigned>(block.size()));
    return 1;
}

namespace {

// Reads the next block's lines, from the line holding \RS to the one holding \RE, into the
// parameter text, so that its items are read like any other. False when the file ends first.
bool ReadBlock(CStdioFile& file, CString& strHeader) {
    bool bStarted = false;
    CString line;
    while (file.ReadString(line)) {
        if (!bStarted) {
            const int rs = line.Find("\\RS");
            if (rs < 0) {
                continue;
            }
            bStarted = true;
            line = line.Mid(rs + 3);
            if (line.IsEmpty()) {
                continue;
            }
        }
        const int re = line.Find("\\RE");
        if (re >= 0) {
            line = line.Left(re);
        }
        if (re < 0 || !line.IsEmpty()) {
            strHeader += line;
            strHeader += "\r\n";
        }
        if (re >= 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

unsigned char* CGiboFile::GetReference(CStdioFile* pFile, int& bFound, unsigned short& wSusun,
                                       CString& strExplain, unsigned short& wRefNum,
                                       int& nGiboLen) {
    wSusun = 0;
    strExplain.Empty();
    wRefNum = 0;
    nGiboLen = 0;
    m_strHeader.Empty();
    bFound = pFile && ReadBlock(*pFile, m_strHeader) ? 1 : 0;
    if (!bFound) {
        return nullptr;
    }
    int bItem = 0;
    CString value = GetParam("REFSUSUN", bItem);
    if (bItem) {
        wSusun = static_cast<unsigned short>(gibo::NumberOf(value));
    }
    value = GetParam("REFNUM", bItem);
    if (bItem) {
        wRefNum = static_cast<unsigned short>(gibo::NumberOf(value));
    }
    strExplain = GetParam("REFEXPLAIN", bItem);
    strExplain.TrimLeft();
    value = GetParam("REFGIBO", bItem);
    value.TrimLeft();
    if (!bItem) {
        return nullptr;  // null means absent; an empty item gives a buffer of length 0
    }
    nGiboLen = value.GetLength();
    // At least one byte: malloc(0) may give null, which would read as absent.
    auto* pGibo =
        static_cast<unsigned char*>(std::malloc(static_cast<size_t>(nGiboLen > 0 ? nGiboLen : 1)));
    if (pGibo) {
        std::memcpy(pGibo, static_cast<const char*>(value), static_cast<size_t>(nGiboLen));
    }
    return pGibo;
}
