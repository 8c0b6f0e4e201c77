// The bytes of the one request the HTTP client sends.
#pragma once

#include <string>

#include "platform/http_url.h"

namespace platform::http {

// "GET <path> HTTP/1.0" and the Accept, User-Agent and Host lines, each
// ending in CR LF, then the empty line. No other header: mirrors have been
// answering exactly this for years.
std::string BuildRequest(const Url& url);

}  // namespace platform::http
