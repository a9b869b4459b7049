// The file layer behaves the same on every system: GBK path bytes name the same file, and on
// Windows that file's name is those bytes read as code page 936 (TempDir::Names converts back
// on its own). (Untranslated line ends: file_test; replacing a record: writer_test and
// failure_test.)
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "GiboFileIO.h"
#include "TestSupport.h"

namespace {

TEST(FilePlatform, GbkPathBytesNameTheSameFile) {
    // 黑白; 乗, whose second byte 0x5C must not be taken for a path separator; 这.
    for (const std::string name : {"\xBA\xDA\xB0\xD7.gib",
                                   "\x81\x5C"
                                   "a.gib",
                                   "\xD5\xE2 x.lbk"}) {
        SCOPED_TRACE(Shown(name));
        TempDir dir;
        const std::string path = dir.Path(name);
        CFile out;
        ASSERT_TRUE(out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        out.Write(name.data(), static_cast<unsigned>(name.size()));
        out.Close();
        EXPECT_EQ(dir.Names(), std::set<std::string>{name});
        CFile in;
        ASSERT_TRUE(in.Open(path.c_str(), CFile::modeRead));
        char buf[64];
        EXPECT_EQ(std::string(buf, in.Read(buf, sizeof buf)), name);
        CFileFind find;
        EXPECT_TRUE(find.FindFile(path.c_str()));
    }
}

#ifdef _WIN32
TEST(FilePlatform, PathThatIsNotGbkIsRefused) {
    // 0xFF begins no GBK character; a best-fit conversion could name some other file.
    TempDir dir;
    const std::string path = dir.Dir() + "\\\xFF.gib";
    CFile f;
    EXPECT_FALSE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CFileFind find;
    EXPECT_FALSE(find.FindFile(path.c_str()));
    EXPECT_TRUE(dir.Names().empty());
}
#endif

}  // namespace
