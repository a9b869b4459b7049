// Which bytes are valid text in a code page, learnt from the converter once per byte pair.
// Detection asks it of every header value in four code pages; asking the converter each time
// cost more than the rest of indexing a record.
#ifndef GIBO_TOOLS_TEXT_BYTE_VALIDITY_H
#define GIBO_TOOLS_TEXT_BYTE_VALIDITY_H

#include <cstddef>
#include <string>

#include "text/converter.h"

// The bytes of bytes that are not valid text in cp, counted as Converter::Decode counts them
// when it converts to UTF-8: 0 when the whole text converts.
size_t InvalidBytes(const std::string& bytes, Codepage cp);

#endif  // GIBO_TOOLS_TEXT_BYTE_VALIDITY_H
