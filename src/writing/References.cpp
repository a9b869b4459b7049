// Reference blocks \RS...\RE: items describing one reference, in a file the host opened.
#include <cstdlib>
#include <cstring>
#include <string>

#include "GiboFile.h"
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

unsigned char* CGiboFile::GetReference(CStdioFile* pFile, int& bFound, unsigned short& wSusun,
                                       CString& strExplain, unsigned short& wRefNum,
                                       int& nGiboLen) {
    wSusun = 0;
    strExplain.Empty();
    wRefNum = 0;
    nGiboLen = 0;
    bFound = 1;
    m_strHeader.Empty();
    if (!pFile) {
        bFound = 0;
        return nullptr;
    }

    // The block's lines become the parameter text, so that its items are read like any other.
    bool bStarted = false;
    CString line;
    for (;;) {
        if (!pFile->ReadString(line)) {
            bFound = 0;
            return nullptr;
        }
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
            if (!line.IsEmpty()) {
                m_strHeader += line;
                m_strHeader += "\r\n";
            }
            break;
        }
        m_strHeader += line;
        m_strHeader += "\r\n";
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
