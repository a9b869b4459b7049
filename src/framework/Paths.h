// The parts of a record's path that decide where its side files and its temporary go. On POSIX
// only '/' separates, and the bytes are taken as they are: names there are UTF-8 as often as
// GBK, CP949, Big5 or Shift-JIS, and neither '/' nor '.' is ever the second byte of a GBK
// character. On Windows paths are GBK; '\' and a drive's "X:" separate too, and a second byte
// 0x5C belongs to its character.
#ifndef GIBO_FRAMEWORK_PATHS_H
#define GIBO_FRAMEWORK_PATHS_H

#include <string>

namespace gibo {

// The directory part of a path, its separator included; empty for a bare name.
std::string DirectoryOf(const std::string& path);

// The stem of a record's side files: the path up to the last '.' of its file-name part, or the
// whole path when the name has none. A '.' in a directory is no extension, and two records in
// one directory never share side files.
std::string RecordStem(const std::string& path);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_PATHS_H
