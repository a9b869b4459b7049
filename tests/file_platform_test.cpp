// The file layer behaves the same on every system: GBK path bytes name the same file.
// (Untranslated line ends: file_test; replacing a record: writer_test and failure_test.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GiboFileIO.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder relative to the working directory, whose name is plain ASCII so that it
// converts on every system.
class FilePlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::string("gibo_fp_") + info->name();
        fs::remove_all(m_dir);
        fs::create_directory(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return m_dir + "/" + name; }

    std::vector<fs::path::string_type> Entries() const {
        std::vector<fs::path::string_type> names;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            names.push_back(e.path().filename().native());
        }
        return names;
    }

    std::string m_dir;
};

void WriteAll(const std::string& path, const std::string& bytes) {
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    f.Write(bytes.data(), static_cast<unsigned>(bytes.size()));
    f.Close();
}

std::string ReadAll(const std::string& path) {
    CFile f;
    if (!f.Open(path.c_str(), CFile::modeRead | CFile::typeBinary)) {
        return "<not opened>";
    }
    std::string out;
    char buf[64];
    unsigned n;
    while ((n = f.Read(buf, sizeof buf)) > 0) {
        out.append(buf, n);
    }
    return out;
}

// A name's GBK bytes and the characters they stand for in code page 936, as Windows stores them.
struct GbkName {
    const char* bytes;
    const wchar_t* onDisk;
};

TEST_F(FilePlatformTest, GbkPathBytesNameTheSameFile) {
    const GbkName names[] = {
        {"\xBA\xDA\xB0\xD7.gib", L"\u9ED1\u767D.gib"},  // 黑白
        // 乗: its second byte is 0x5C, which must not be taken for a path separator.
        {"\x81\x5C"
         "a.gib",
         L"\u4E57a.gib"},
        {"\xD5\xE2 x.lbk", L"\u8FD9 x.lbk"},  // 这
    };
    for (const GbkName& name : names) {
        SCOPED_TRACE(name.bytes);
        const std::string path = PathOf(name.bytes);
        const std::string content = std::string("body of ") + name.bytes;
        WriteAll(path, content);

        CFileFind find;
        EXPECT_TRUE(find.FindFile(path.c_str()));
        EXPECT_EQ(ReadAll(path), content);
        const auto entries = Entries();
        ASSERT_EQ(entries.size(), 1u);
#ifdef _WIN32
        EXPECT_EQ(entries[0], name.onDisk);
#else
        EXPECT_EQ(entries[0], name.bytes);
#endif
        fs::remove(fs::path(m_dir) / entries[0]);
    }
}

#ifdef _WIN32
TEST_F(FilePlatformTest, PathThatIsNotGbkIsRefused) {
    // 0xFF begins no GBK character; a best-fit conversion could name some other file.
    const std::string path = PathOf(
        "\xFF"
        ".gib");
    CFile f;
    EXPECT_FALSE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CFileFind find;
    EXPECT_FALSE(find.FindFile(path.c_str()));
    EXPECT_TRUE(Entries().empty());
}
#endif

}  // namespace
