// HttpConnection: one browser's HTTP connection to the web port, on the port's I/O thread.
//
// It answers GET requests for the files the port serves (web_files.h), one after another on the
// same connection, and hands the connection over to a BrowserSocket when the page opens its
// WebSocket at "/jogo". Anything else closes the connection and is counted in the server's
// refusals: another method, an unknown path, a request head over kMaxRequestHeadBytes, a body, a
// malformed request, or one that has begun and is not whole within kRequestTimeout.
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <memory>
#include <optional>

#include "web/web_port_state.h"

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
  public:
    HttpConnection(boost::asio::ip::tcp::socket socket, ConnectionTicket ticket,
                   WebPortState& port);
    void start() { readRequest(); }

  private:
    using Request = boost::beast::http::request<boost::beast::http::empty_body>;
    using Response = boost::beast::http::response<boost::beast::http::string_body>;

    void readRequest();
    void onRequest(boost::beast::error_code failure);
    void answer(const Request& request);
    void refuse(const Request& request, boost::beast::http::status status);
    void send(std::shared_ptr<Response> response);
    void close();

    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser;
    ConnectionTicket ticket;
    WebPortState& port;
};
