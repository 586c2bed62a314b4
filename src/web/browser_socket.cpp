#include "web/browser_socket.h"

#include "net/server_context.h"
#include "platform/clock.h"
#include "web/web_timeouts.h"

namespace beast = boost::beast;
namespace websocket = beast::websocket;

namespace {

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

}  // namespace

BrowserSocket::BrowserSocket(beast::tcp_stream stream, ConnectionTicket ticket, WebPortState& port)
    : socket(std::move(stream)),
      buffer(2 * kMaxBrowserMessageBytes),
      ticket(std::move(ticket)),
      port(port),
      place(port.server, this->ticket.key().peerAddress),
      rate(clockMs()),
      id(port.nextSocketId++) {}

BrowserSocket::~BrowserSocket() = default;

void BrowserSocket::accept(beast::http::request<beast::http::empty_body> request) {
    socket.set_option(websocket::stream_base::timeout{kRequestTimeout, kIdleTimeout, false});
    socket.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
        response.set(beast::http::field::server, "corrida");
    }));
    socket.read_message_max(kMaxBrowserMessageBytes);
    auto held = std::make_shared<beast::http::request<beast::http::empty_body>>(std::move(request));
    socket.async_accept(*held, [self = shared_from_this(), held](beast::error_code failure) {
        if (failure) {
            ++self->port.server.refusals.webRequests;
            return;
        }
        self->open = true;
        self->port.sockets[self->id] = self;
        // A party's pages show the phone's controller rather than the picture.
        if (!self->port.server.invitationUrl.empty()) self->send("festa", false);
        self->read();
    });
}

void BrowserSocket::read() {
    socket.async_read(buffer, [self = shared_from_this()](beast::error_code failure, size_t) {
        self->onRead(failure);
    });
}

void BrowserSocket::onRead(beast::error_code failure) {
    if (failure) {
        if (failure == websocket::error::message_too_big) ++port.server.refusals.webMessages;
        return;
    }
    const std::string text = beast::buffers_to_string(buffer.data());
    buffer.consume(buffer.size());
    const std::optional<BrowserMessage> message =
        socket.got_text() ? readBrowserMessage(text) : std::nullopt;
    if (!message || !rate.admit(clockMs())) {
        refuse();
        return;
    }
    const int before = place.viewer();
    if (const std::optional<std::string> answer = place.handle(*message)) {
        send(*answer, false);
        if (startsWith(*answer, "player ")) {
            for (auto& [otherId, other] : port.sockets) {
                const std::shared_ptr<BrowserSocket> socketOf = other.lock();
                if (otherId != id && socketOf && socketOf->playing() &&
                    socketOf->viewer() == place.viewer()) {
                    socketOf->replace();
                }
            }
        }
    }
    if (place.viewer() != before) pump();
    read();
}

void BrowserSocket::refuse() {
    ++port.server.refusals.webMessages;
    closeWhenSent(websocket::close_code::policy_error);
}

void BrowserSocket::replace() {
    send("replaced", false);
    closeWhenSent(websocket::close_code::normal);
}

void BrowserSocket::pump() {
    if (!open || closing) return;
    if (writing) {
        if (std::chrono::steady_clock::now() - writeStarted > kStalledWriteTimeout) closeNow();
        return;
    }
    std::optional<std::string> stream = place.takeStream();
    if (!stream) {
        // The place was lost: the page comes back and asks again.
        closeWhenSent(websocket::close_code::going_away);
        return;
    }
    if (!stream->empty()) send(std::move(*stream), true);
}

void BrowserSocket::send(std::string data, bool binary) {
    if (closing || !open) return;
    outgoing.push_back(Outgoing{std::move(data), binary});
    if (!writing) writeNext();
}

void BrowserSocket::writeNext() {
    if (outgoing.empty()) {
        writing = false;
        if (closing) {
            socket.async_close(closeCode, [self = shared_from_this()](beast::error_code) {});
        } else {
            pump();
        }
        return;
    }
    writing = true;
    writeStarted = std::chrono::steady_clock::now();
    socket.binary(outgoing.front().binary);
    socket.async_write(boost::asio::buffer(outgoing.front().data),
                       [self = shared_from_this()](beast::error_code failure, size_t) {
                           if (failure) {
                               self->outgoing.clear();
                               self->writing = false;
                               return;
                           }
                           self->outgoing.pop_front();
                           self->writeNext();
                       });
}

void BrowserSocket::closeWhenSent(websocket::close_code code) {
    if (closing) return;
    closing = true;
    closeCode = code;
    if (!writing) {
        socket.async_close(code, [self = shared_from_this()](beast::error_code) {});
    }
}

void BrowserSocket::closeNow() {
    closing = true;
    beast::error_code ignored;
    beast::get_lowest_layer(socket).socket().close(ignored);
}
