// Header items \[TAG=value\] in the parameter text.
#include "GiboFile.h"
#include "framework/Gbk.h"

namespace {

const char kOpener[] = "\\[";
const char kCloser[] = "\\]";

// Where the first item of a tag lies in the parameter text: its closer, and its '=' when the
// item has one (-1 otherwise). nCloser is -1 when there is no such item or it is not closed.
struct Item {
    int nCloser = -1;
    int nEqual = -1;
};

Item LocateItem(const CString& strHeader, const CString& strTag) {
    Item item;
    const CString key = kOpener + strTag;
    const int pos = strHeader.Find(key);
    if (pos < 0) {
        return item;
    }
    const int valueStart = pos + key.GetLength();
    item.nCloser = strHeader.Find(kCloser, valueStart);
    // The '=' is looked for in the whole text, not in the item alone, so that the characters
    // are read from the same start even when the tag ends with a lead byte.
    const int eq = strHeader.Find("=", valueStart);
    if (eq >= 0 && eq < item.nCloser) {
        item.nEqual = eq;
    }
    return item;
}

bool EndsInLoneLead(const CString& str) {
    return gibo::GbkEndsInLoneLead(str, static_cast<size_t>(str.GetLength()));
}

}  // namespace

CString CGiboFile::GetParam(CString strTag, int& bFound) {
    bFound = 0;
    if (strTag.IsEmpty()) {
        return CString();
    }
    const Item item = LocateItem(m_strHeader, strTag);
    if (item.nEqual < 0) {
        return CString();
    }
    bFound = 1;
    return m_strHeader.Mid(item.nEqual + 1, item.nCloser - item.nEqual - 1);
}

int CGiboFile::ReplaceParam(CString strTag, CString strValue) {
    const Item item = LocateItem(m_strHeader, strTag);
    if (item.nCloser < 0) {
        return 0;
    }
    if (item.nEqual < 0) {
        // No '=' in this item: mend it in place rather than reach into the next item, so that
        // GetParam reads the value afterwards.
        m_strHeader.Insert(item.nCloser, CString("=") + strValue);
        return 1;
    }
    m_strHeader = m_strHeader.Left(item.nEqual + 1) + strValue + m_strHeader.Mid(item.nCloser);
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
    // A lead byte cut off from its second byte would take the closer's backslash for it, and
    // the item could not be read back. (After a tag it is harmless: '=' is no second byte.)
    while (EndsInLoneLead(strValue)) {
        strValue = strValue.Left(strValue.GetLength() - 1);
        strValue.TrimRight(' ');
    }
    if (ReplaceParam(strTag, strValue)) {
        return 1;
    }
    // Likewise a text that ends inside a character gets a line end before the new item.
    if (EndsInLoneLead(m_strHeader)) {
        m_strHeader += "\r\n";
    }
    m_strHeader += kOpener;
    m_strHeader += strTag;
    m_strHeader += '=';
    m_strHeader += strValue;
    m_strHeader += kCloser;
    m_strHeader += "\r\n";
    return 1;
}
