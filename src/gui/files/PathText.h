#pragma once

// File names as the system gives them (bytes, usually UTF-8 but not always) carried in
// Qt's texts without loss: bytes that are not UTF-8 become the lone surrogates U+DC80..
// U+DCFF and turn back into the same bytes. Qt's own conversion replaces them by U+FFFD,
// so that such a file could not be opened, or an output went to another name.

#include <QString>
#include <string>
#include <string_view>

namespace tessarin {

// The text of a file name from the command line; shown as it stands, and given back
// by pathBytes().
QString pathText(std::string_view bytes);
// The bytes of a file name for the core: the inverse of pathText(), UTF-8 for any other text.
std::string pathBytes(const QString& text);

}  // namespace tessarin
