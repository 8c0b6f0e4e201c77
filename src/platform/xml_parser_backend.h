// What each platform's parser implements behind ParseDocument, which has
// already refused what both builds refuse alike: documents larger than
// kMaxDocumentBytes and encodings that we do not read. Private to the
// platform library.
#pragma once

#include <string>
#include <string_view>

#include "platform/xml_document.h"

namespace platform::xml {

// `bytes` is at most kMaxDocumentBytes long and declares no encoding, or a
// readable one.
ParseResult ParseWithPlatformParser(std::string_view bytes);

ParseResult Failure(ParseStatus status, std::string reason);

}  // namespace platform::xml
