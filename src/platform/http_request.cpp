// The request's bytes.
#include "platform/http_request.h"

namespace platform::http {

std::string BuildRequest(const Url& url) {
  return "GET " + url.path +
         " HTTP/1.0\r\n"
         "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
         "User-Agent: Mozilla/4.0 (compatible; ICS)\r\n"
         "Host: " +
         Authority(url) + "\r\n\r\n";
}

}  // namespace platform::http
