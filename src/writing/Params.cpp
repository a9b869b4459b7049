// Header items \[TAG=value\] in the parameter text.
#include "GiboFile.h"

namespace {

const char kOpener[] = "\\[";
const char kCloser[] = "\\]";

CString KeyOf(const CString& strTag) {
    return CString(kOpener) + strTag;
}

}  // namespace

CString CGiboFile::GetParam(CString strTag, int& bFound) {
    bFound = 0;
    if (strTag.IsEmpty()) {
        return CString();
    }
    const CString key = KeyOf(strTag);
    const int pos = m_strHeader.Find(key);
    if (pos < 0) {
        return CString();
    }
    const int valueStart = pos + key.GetLength();
    const int closer = m_strHeader.Find(kCloser, valueStart);
    if (closer < 0) {
        return CString();
    }
    const CString inner = m_strHeader.Mid(valueStart, closer - valueStart);
    const int eq = inner.Find('=');
    if (eq < 0) {
        return CString();
    }
    bFound = 1;
    return inner.Mid(eq + 1);
}

int CGiboFile::ReplaceParam(CString strTag, CString strValue) {
    const CString key = KeyOf(strTag);
    const int pos = m_strHeader.Find(key);
    if (pos < 0) {
        return 0;
    }
    const int keyEnd = pos + key.GetLength();
    const int closer = m_strHeader.Find(kCloser, keyEnd);
    if (closer < 0) {
        return 0;
    }
    const int eq = m_strHeader.Find("=", keyEnd);
    if (eq < 0 || eq > closer) {
        // No '=' in this item: mend it in place rather than reach into the next item, so that
        // GetParam reads the value afterwards.
        m_strHeader.Insert(closer, CString("=") + strValue);
        return 1;
    }
    m_strHeader = m_strHeader.Left(eq + 1) + strValue + m_strHeader.Mid(closer);
    return 1;
}

int CGiboFile::SetParam(CString strTag, CString strValue) {
    if (strTag.IsEmpty()) {
        return 0;
    }
    // A backslash would open or close an item; GBK trail bytes 0x5C are left alone.
    strTag.Replace("\\", " ");
    strValue.Replace("\\", " ");
    strValue.TrimLeft(' ');
    strValue.TrimRight(' ');
    if (ReplaceParam(strTag, strValue)) {
        return 1;
    }
    m_strHeader += kOpener;
    m_strHeader += strTag;
    m_strHeader += '=';
    m_strHeader += strValue;
    m_strHeader += kCloser;
    m_strHeader += "\r\n";
    return 1;
}
