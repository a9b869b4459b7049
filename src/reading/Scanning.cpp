// Cursor readers for comma-, dash- and colon-separated texts.
#include <cstring>

#include "GiboFile.h"
#include "framework/Gbk.h"
#include "reading/Items.h"
#include "reading/Number.h"

namespace {

// readTagNum's digits; shared by all record objects (one interpreting thread at a time).
char g_szTagNumBuf[256];

// Moves the cursor past the next field, copying at most nLimit bytes of it to pszOut and
// counting them in nWritten. Returns false, leaving the cursor, when there is nothing to read.
bool ReadField(char** ppszCursor, char* pszOut, size_t nLimit, int nSep, size_t& nWritten) {
    nWritten = 0;
    if (!ppszCursor || !*ppszCursor || !**ppszCursor || nSep < 0 || nSep > 2) {
        return false;
    }
    const char sep = g_szTagSep[nSep];
    char* p = *ppszCursor;
    size_t fieldLen = 0;
    while (p[fieldLen] != '\0' && p[fieldLen] != sep) {
        ++fieldLen;
    }
    // An over-long field is consumed whole but only its head is kept, up to a character's end.
    nWritten = gibo::GbkCut(p, fieldLen, nLimit);
    std::memcpy(pszOut, p, nWritten);
    p += fieldLen;
    if (*p == sep) {
        ++p;
    }
    *ppszCursor = p;
    return true;
}

}  // namespace

void CGiboFile::readTag(char** ppszCursor, char* pszOut, int nSep) {
    size_t written = 0;
    if (pszOut) {
        ReadField(ppszCursor, pszOut, gibo::kFieldBuffer - 1, nSep, written);
    }
}

int CGiboFile::readTagNum(char** ppszCursor, int nSep) {
    // Only the digits just read are terminated: clearing the whole buffer on every call cost
    // more than reading the number.
    size_t written = 0;
    const bool read = ReadField(ppszCursor, g_szTagNumBuf, sizeof g_szTagNumBuf - 1, nSep, written);
    g_szTagNumBuf[written] = '\0';
    if (!read) {
        return 0;
    }
    if (g_szTagNumBuf[0] == '\0') {
        return -1;
    }
    return static_cast<int>(gibo::NumberOf(g_szTagNumBuf));
}

void CGiboFile::RemoveSpace(char* pszDst, char* pszSrc) {
    if (!pszDst) {
        return;
    }
    // Through a work buffer, so that pszDst may be pszSrc; it holds one byte more than is kept,
    // to tell whether the last kept byte starts a character that the bound would cut in two.
    char work[257] = {0};
    size_t n = 0;
    for (const char* p = pszSrc; p && *p && n < sizeof work - 1; ++p) {
        if (*p != ' ') {
            work[n++] = *p;
        }
    }
    n = gibo::GbkCut(work, n, 255);
    work[n] = '\0';
    std::memcpy(pszDst, work, n + 1);
}
