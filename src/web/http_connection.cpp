#include "web/http_connection.h"

#include <boost/beast/websocket.hpp>

#include "net/server_context.h"
#include "web/browser_socket.h"
#include "web/web_timeouts.h"

namespace beast = boost::beast;
namespace http = beast::http;

namespace {

// Where the page opens its WebSocket.
constexpr beast::string_view kSocketTarget = "/jogo";

}  // namespace

HttpConnection::HttpConnection(boost::asio::ip::tcp::socket socket, ConnectionTicket ticket,
                               WebPortState& port)
    : stream(std::move(socket)),
      buffer(2 * kMaxRequestHeadBytes),
      ticket(std::move(ticket)),
      port(port) {}

void HttpConnection::readRequest() {
    parser.emplace();
    parser->header_limit(kMaxRequestHeadBytes);
    parser->body_limit(0);
    stream.expires_after(kRequestTimeout);
    http::async_read(stream, buffer, *parser,
                     [self = shared_from_this()](beast::error_code failure, size_t) {
                         self->onRequest(failure);
                     });
}

void HttpConnection::onRequest(beast::error_code failure) {
    if (failure) {
        // A request that began and did not come whole, or came malformed or too large, is
        // refused; a connection closed or idle between requests has simply ended.
        const bool begun = parser->got_some() || buffer.size() != 0;
        const bool malformed =
            failure != http::error::end_of_stream &&
            failure.category() == http::make_error_code(http::error::bad_target).category();
        if (malformed || (failure == beast::error::timeout && begun)) {
            ++port.server.refusals.webRequests;
        }
        close();
        return;
    }
    Request request = parser->release();
    if (beast::websocket::is_upgrade(request) && request.target() == kSocketTarget) {
        stream.expires_never();
        std::make_shared<BrowserSocket>(std::move(stream), std::move(ticket), port)
            ->accept(std::move(request));
        return;
    }
    answer(request);
}

void HttpConnection::answer(const Request& request) {
    if (request.method() != http::verb::get) {
        refuse(request, http::status::method_not_allowed);
        return;
    }
    const std::optional<std::string> file =
        port.files.fileFor(std::string_view(request.target().data(), request.target().size()));
    std::optional<std::string> contents;
    if (file) contents = readServedFile(*file);
    if (!contents) {
        refuse(request, http::status::not_found);
        return;
    }
    auto response = std::make_shared<Response>(http::status::ok, request.version());
    response->set(http::field::server, "corrida");
    response->set(http::field::content_type, contentTypeOf(*file));
    response->set("X-Content-Type-Options", "nosniff");
    // The game's files change only with the program; the page is asked for again each time.
    response->set(http::field::cache_control,
                  file->compare(0, 4, "Img/") == 0 ? "max-age=3600" : "no-cache");
    response->body() = std::move(*contents);
    response->keep_alive(request.keep_alive());
    response->prepare_payload();
    send(std::move(response));
}

void HttpConnection::refuse(const Request& request, http::status status) {
    ++port.server.refusals.webRequests;
    auto response = std::make_shared<Response>(status, request.version());
    response->set(http::field::server, "corrida");
    response->set(http::field::content_type, "text/plain; charset=utf-8");
    response->body() = std::string(http::obsolete_reason(status)) + "\n";
    response->keep_alive(false);
    response->prepare_payload();
    send(std::move(response));
}

void HttpConnection::send(std::shared_ptr<Response> response) {
    stream.expires_after(kResponseTimeout);
    http::async_write(stream, *response,
                      [self = shared_from_this(), response](beast::error_code failure, size_t) {
                          if (failure || !response->keep_alive()) {
                              self->close();
                          } else {
                              self->readRequest();
                          }
                      });
}

void HttpConnection::close() {
    beast::error_code ignored;
    stream.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    stream.close();
}
