// BrowserSocket: one page's WebSocket on the web port, on the port's I/O thread: the browser's
// messages in (browser_message.h), its place's answers and pictures out (browser_place.h).
//
// The stream goes as binary messages, one per fetch of the place's queue, compressed in a stream of
// the place's own (stream_message.h); the answers as text. (The WebSocket's own compression is not
// asked for: the library's resets its window after every message, so each picture would cost what
// it costs deflated alone, five times what it costs in one stream.) Each message
// is sent whole before the next is taken from the queue: a browser that reads slowly gets the
// pictures of that time together, and one that stops reading for kStalledWriteTimeout is closed.
//
// A malformed message, one over kMaxBrowserMessageBytes, binary, or past the message rate
// (message_rate.h) closes the socket and is counted in the server's refusals.
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <deque>
#include <memory>
#include <string>

#include "web/browser_place.h"
#include "web/message_rate.h"
#include "web/web_port_state.h"

class BrowserSocket : public std::enable_shared_from_this<BrowserSocket> {
  public:
    BrowserSocket(boost::beast::tcp_stream stream, ConnectionTicket ticket, WebPortState& port);
    ~BrowserSocket();

    // Completes the opening handshake the page asked for with `request`.
    void accept(boost::beast::http::request<boost::beast::http::empty_body> request);
    // Sends what waits for the place, unless a message is still on its way.
    void pump();
    // Another page took this socket's place: it is told, and closed.
    void replace();

    int viewer() const { return place.viewer(); }
    bool playing() const { return place.playing(); }

  private:
    struct Outgoing {
        std::string data;
        bool binary;
    };
    void read();
    void onRead(boost::beast::error_code failure);
    void refuse();
    void send(std::string data, bool binary);
    void writeNext();
    void closeWhenSent(boost::beast::websocket::close_code code);
    void closeNow();

    boost::beast::websocket::stream<boost::beast::tcp_stream> socket;
    boost::beast::flat_buffer buffer;
    ConnectionTicket ticket;
    WebPortState& port;
    BrowserPlace place;
    MessageRate rate;
    const uint64_t id;
    std::deque<Outgoing> outgoing;
    bool open = false;
    bool writing = false;
    std::chrono::steady_clock::time_point writeStarted;
    bool closing = false;
    boost::beast::websocket::close_code closeCode = boost::beast::websocket::close_code::normal;
};
