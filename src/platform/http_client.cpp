// The fetch loop: relocations, the one kept connection, and which statuses
// fail a fetch.
#include "platform/http_client.h"

#include <array>
#include <utility>

#include "platform/ascii_text.h"
#include "platform/http_request.h"
#include "platform/http_response_parser.h"
#include "platform/http_transport.h"
#include "platform/http_url.h"
#include "platform/tcp_socket.h"

namespace platform::http {

struct HttpClient::Connection {
  std::string host;
  std::uint16_t port = 0;
  net::TcpSocket socket;

  bool Serves(const Url& url) const {
    return port == url.port && EqualsIgnoringCase(host, url.host);
  }
};

// One reply, as far as it came.
struct HttpClient::Reply {
  Failure failure = Failure::kNone;
  int status = 0;
  std::string location;  // an empty Location header is as good as none
  bool keep_alive = false;
  bool nothing_came = false;  // the connection broke before the reply's first byte
};

namespace {

constexpr std::size_t kReceiveBufferBytes = 16 * 1024;

// 401 and 407 are the server's word to the user; their bodies count as the
// reply's.
bool IsFailedStatus(int status) { return status >= 400 && status != 401 && status != 407; }

// Passes a received piece through the parser, the body into the sink; the
// event that stopped it is kNeedMore, kEnd or kError.
ResponseParser::Event Consume(ResponseParser& parser, std::string_view& input, BodySink& sink) {
  for (;;) {
    const ResponseParser::Step step = parser.Next(input);
    if (step.event == ResponseParser::Event::kBody) {
      sink.Append(step.body.data(), step.body.size());
    } else if (step.event != ResponseParser::Event::kHead) {
      return step.event;
    }
  }
}

}  // namespace

HttpClient::HttpClient(Waiter& waiter, Limits limits) : waiter_(waiter), limits_(limits) {}

HttpClient::~HttpClient() = default;

FetchResult HttpClient::Get(const std::string& url, BodySink& sink) {
  if (terminated_) return {Failure::kTerminated, 0};
  ParsedUrl target = ParseUrl(url);
  if (target.failure != Failure::kNone) return {target.failure, 0};
  for (int relocations = 0;; ++relocations) {
    const Reply reply = Fetch(target.url, sink);
    if (reply.failure == Failure::kTerminated) {
      terminated_ = true;
      kept_.reset();
    }
    if (reply.failure != Failure::kNone) return {reply.failure, reply.status};
    if (reply.location.empty()) {
      return {IsFailedStatus(reply.status) ? Failure::kHttpStatus : Failure::kNone, reply.status};
    }
    if (relocations == limits_.max_relocations) {
      return {Failure::kTooManyRelocations, reply.status};
    }
    target = ParseUrl(ResolveReference(target.url, reply.location));
    if (target.failure != Failure::kNone) return {target.failure, reply.status};
  }
}

HttpClient::Reply HttpClient::Fetch(const Url& url, BodySink& sink) {
  Transport transport(waiter_, limits_);
  const std::string request = BuildRequest(url);
  std::unique_ptr<Connection> connection = std::exchange(kept_, nullptr);
  if (connection && !connection->Serves(url)) connection.reset();
  bool reused = connection != nullptr;
  for (;;) {
    if (!connection) {
      connection = std::make_unique<Connection>();
      connection->host = url.host;
      connection->port = url.port;
      Reply failed;
      failed.failure = transport.Connect(url.host, url.port, connection->socket);
      if (failed.failure != Failure::kNone) return failed;
    }
    Reply reply = Exchange(transport, *connection, request, sink);
    if (reused && reply.nothing_came) {
      // The server closed the kept connection while it lay idle: the
      // request goes once more, on a new one.
      reused = false;
      connection.reset();
      continue;
    }
    if (reply.keep_alive) kept_ = std::move(connection);
    return reply;
  }
}

HttpClient::Reply HttpClient::Exchange(Transport& transport, Connection& connection,
                                       const std::string& request, BodySink& sink) {
  Reply reply;
  reply.failure = transport.Send(connection.socket, request);
  if (reply.failure != Failure::kNone) {
    reply.nothing_came = reply.failure == Failure::kConnectFailed;
    return reply;
  }
  ResponseParser parser;
  const std::uint64_t body_start = sink.Size();
  std::array<char, kReceiveBufferBytes> buffer;
  bool any_byte = false;
  for (;;) {
    const Transport::Received received =
        transport.Receive(connection.socket, buffer.data(), buffer.size());
    if (received.failure != Failure::kNone) {
      reply.failure = received.failure;
      break;
    }
    if (received.size == 0) {
      // Cut short after the status line, the reply is what came of it.
      reply.nothing_came = !any_byte;
      if (!parser.status_received()) reply.failure = Failure::kProtocolError;
      break;
    }
    any_byte = true;
    std::string_view input(buffer.data(), received.size);
    const ResponseParser::Event event = Consume(parser, input, sink);
    if (event == ResponseParser::Event::kError) {
      reply.failure = Failure::kProtocolError;
      break;
    }
    if (event == ResponseParser::Event::kEnd) {
      // Bytes after the reply would be read as the next one's.
      reply.keep_alive = parser.keep_alive() && input.empty();
      break;
    }
  }
  if (parser.status_received()) reply.status = parser.head().status;
  if (parser.head_complete()) {
    if (const std::string* location = parser.head().Find("Location")) reply.location = *location;
  }
  // A relocated reply's body is not kept.
  if (!reply.location.empty()) sink.CutBack(body_start);
  return reply;
}

}  // namespace platform::http
