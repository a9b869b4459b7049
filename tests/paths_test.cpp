// Where a load puts the side files and a save writes, for names in UTF-8, GBK, CP949, Big5 and
// Shift-JIS and for links; nothing else changes.

#include <map>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

// Every entry under root, through directory links, with what it holds: a file's bytes, a
// link's target, "<dir>".
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(
             FsPath(root), fs::directory_options::follow_directory_symlink)) {
        const std::string key = BytesOf(e.path().lexically_normal());
        tree[key] = e.is_symlink()     ? "-> " + BytesOf(fs::read_symlink(e.path()))
                    : e.is_directory() ? "<dir>"
                                       : ReadBytes(key);
    }
    return tree;
}

std::string Key(const std::string& path) {
    return BytesOf(FsPath(path).lexically_normal());
}

const char kRecord[] = "\\HS\\[SZAUDIO=2\\]\\[TYPE=7\\]\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n\x01Z";
// kRecord loaded, GAMENAME set to kName, and saved.
const char kName[] = "\xC6\xE5";  // 棋
const char kSaved[] =
    "\\HS\r\n\\[SZAUDIO=2\\]\\[TYPE=7\\]\r\n\\[GAMENAME=\xC6\xE5\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\n"
    "\\GE\r\n\x01Z";

struct PathCase {
    const char* dir;    // made under the test directory first, unless empty
    const char* path;   // of the record, under the test directory; '/' separates
    const char* stem;   // of its side files, on POSIX
    const char* wStem;  // on Windows, where '\' separates too; null: as on POSIX
};

// 中 E4 B8 AD, 棋 E6 A3 8B, 한 ED 95 9C and あ E3 81 82 in UTF-8 end in a lone lead byte, which
// must not take the '/' or '.' after it; so does the Shift-JIS half-width katakana B1. In GBK
// 棋谱 C6 E5 C6 D7 and 黑 BA DA; in CP949 한 C7 D1, 국 B1 B9 and 갂 81 41; in Big5 許 B3 5C; in
// Shift-JIS 表 95 5C. A second byte 0x5C is no separator, even on Windows.
const PathCase kPaths[] = {
    {"d.\xE4\xB8\xAD", "d.\xE4\xB8\xAD/rec", "d.\xE4\xB8\xAD/rec", nullptr},
    {"", "a.\xE4\xB8\xAD.gib", "a.\xE4\xB8\xAD", nullptr},
    {"u", "u/\xE6\xA3\x8B.gib", "u/\xE6\xA3\x8B", nullptr},
    {"g.\xED\x95\x9C", "g.\xED\x95\x9C/r.gib", "g.\xED\x95\x9C/r", nullptr},
    {"j.\xE3\x81\x82", "j.\xE3\x81\x82/rec", "j.\xE3\x81\x82/rec", nullptr},
    {"", "\xB1.gib", "\xB1", nullptr},
    {"\xC6\xE5\xC6\xD7", "\xC6\xE5\xC6\xD7/\xBA\xDA.gib", "\xC6\xE5\xC6\xD7/\xBA\xDA", nullptr},
    {"\xC7\xD1.\xB1\xB9", "\xC7\xD1.\xB1\xB9/\x81\x41", "\xC7\xD1.\xB1\xB9/\x81\x41", nullptr},
    {"", "a.\x95\x5Crec", "a", nullptr},
    {"", "\x95\x5C.gib", "\x95\x5C", nullptr},
    {"\xB3\x5C", "\xB3\x5C\\r.gib", "\xB3\x5C\\r", nullptr},
    {"dir.x", "dir.x\\rec", "dir", "dir.x\\rec"},
    {"", "rec", "rec", nullptr},
};

// Loads the record at top/path, then saves it with an item more.
void LoadAndSave(const std::string& top, const std::string& path, const std::string& stem,
                 const std::string& saved, const std::string& root) {
    std::map<std::string, std::string> tree = Snapshot(root);
    const Loaded r(top + path);
    ASSERT_EQ(r.result, 1) << std::hex << r.error;
    EXPECT_EQ(Shown(r.bodyPath.str()), Shown(top + stem + ".lbk"));
    EXPECT_EQ(Shown(r.audioPath.str()), Shown(top + stem + ".lao"));
    tree[Key(top + stem + ".lbk")] = "STO 1\r\n";
    tree[Key(top + stem + ".lao")] = "\x01Z";
    EXPECT_EQ(Snapshot(root), tree);

    CGiboFile f(r.f);
    f.SetParam("GAMENAME", kName);
    ASSERT_EQ(f.SaveFile(7, (top + path).c_str(), r.bodyPath, r.audioPath), 1);
    tree[Key(saved)] = kSaved;
    EXPECT_EQ(Snapshot(root), tree);
}

TEST(Paths, SideFilesAndSavesStayBesideTheRecordInAnyCodePage) {
    for (const PathCase& c : kPaths) {
        SCOPED_TRACE(Shown(c.path));
#ifdef _WIN32
        gibo::SystemPath wide;
        if (!gibo::ToSystemPath(c.path, wide)) {
            continue;  // not GBK: no Windows name
        }
        const char* stem = c.wStem ? c.wStem : c.stem;
#else
        const char* stem = c.stem;
#endif
        TempDir dir;
        const std::string top = dir.Dir() + "/";
        if (*c.dir) {
            fs::create_directory(FsPath(top + c.dir));
        }
        WriteBytes(top + c.path, kRecord);
        LoadAndSave(top, c.path, stem, top + c.path, dir.Dir());
    }
}

#ifndef _WIN32
// Links to a record, in a directory and to a directory (on another file system where there is
// one): side files go beside the path loaded, the save writes the file the link names.
TEST(Paths, LinksAreResolvedFromTheirOwnDirectory) {
    struct {
        const char *dir, *link, *to, *path, *stem, *saved;
    } cases[] = {
        {"d.\xE4\xB8\xAD", "l.gib", "d.\xE4\xB8\xAD/rec.gib", "l.gib", "l",
         "d.\xE4\xB8\xAD/rec.gib"},
        {"d\xE4\xB8\xAD", "d\xE4\xB8\xAD/rec.gib", "real.gib", "d\xE4\xB8\xAD/rec.gib",
         "d\xE4\xB8\xAD/rec", "d\xE4\xB8\xAD/real.gib"},
        {"", "x\xE4\xB8\xAD", "", "x\xE4\xB8\xAD/rec.gib", "x\xE4\xB8\xAD/rec",
         "x\xE4\xB8\xAD/rec.gib"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.link));
        TempDir dir, elsewhere;
        const std::string top = dir.Dir() + "/";
        if (*c.dir) {
            fs::create_directory(top + c.dir);
        }
        char shm[] = "/dev/shm/gibo-paths-XXXXXX";
        const bool other = !*c.to && ::mkdtemp(shm) != nullptr;
        if (!*c.to) {  // the directory link
            const std::string target = other ? shm : elsewhere.Dir();
            ASSERT_EQ(::symlink(target.c_str(), (top + c.link).c_str()), 0);
        } else {
            ASSERT_EQ(::symlink(c.to, (top + c.link).c_str()), 0);
        }
        WriteBytes(top + c.saved, kRecord);  // the file the links name
        LoadAndSave(top, c.path, c.stem, top + c.saved, dir.Dir());
        if (other) {
            fs::remove_all(shm);
        }
    }
}
#endif

}  // namespace
