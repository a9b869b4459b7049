// The save for a caller that checked and locked the record it rewrites (the tool): SaveFile,
// but writing only while the name still holds that very file.
#ifndef GIBO_WRITING_SAVE_H
#define GIBO_WRITING_SAVE_H

#include "GiboFile.h"
#include "framework/SysFile.h"

namespace gibo {

// CGiboFile::SaveFile(byType, pszPath, pszBodyPath, pszAudioPath), refused with GIBO_ERR_CREATE
// and nothing changed when the file that pszPath leads to is not `expected` when the save
// starts or when it renames; bMoved then tells that this was why.
int SaveExpecting(CGiboFile& record, unsigned char byType, const char* pszPath,
                  const char* pszBodyPath, const char* pszAudioPath, const FileId& expected,
                  bool& bMoved);

}  // namespace gibo

#endif  // GIBO_WRITING_SAVE_H
