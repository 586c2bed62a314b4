// The web port on a loopback socket, as a browser and as a stranger reach it: the page and the
// game's files and nothing else, a place and its pictures over the WebSocket, and every request,
// message and connection past the rules refused, closed and counted.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

#include "net/server_context.h"
#include "stream/subscription.h"
#include "web/browser_message.h"
#include "web/stream_reader.h"
#include "web/web_port.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using asio::ip::tcp;

// Waits up to `seconds` for `done`.
bool within(double seconds, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class WebPortTest : public ::testing::Test {
  protected:
    void open(ConnectionCaps caps = {8, 16}) {
        std::ostringstream console;
        web = WebPort::open(context, "127.0.0.1", 0, caps, console);
        ASSERT_TRUE(web) << console.str();
        feed.emplace(context.recorder, web.get());
    }
    void TearDown() override {
        feed.reset();
        web.reset();
    }

    tcp::socket connect() {
        tcp::socket socket(io);
        socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"),
                                     static_cast<unsigned short>(web->port())));
        return socket;
    }
    http::response<http::string_body> request(http::verb verb, const std::string& target) {
        tcp::socket socket = connect();
        http::request<http::empty_body> asked(verb, target, 11);
        asked.set(http::field::host, "127.0.0.1");
        http::write(socket, asked);
        beast::flat_buffer buffer;
        http::response<http::string_body> answer;
        http::read(socket, buffer, answer);
        return answer;
    }
    // Whether the server closes `socket` within `seconds`, whatever it sent before.
    static bool closedWithin(tcp::socket& socket, double seconds) {
        socket.non_blocking(true);
        return within(seconds, [&] {
            char byte;
            boost::system::error_code failure;
            socket.read_some(asio::buffer(&byte, 1), failure);
            return failure && failure != asio::error::would_block;
        });
    }

    using Socket = websocket::stream<tcp::socket>;
    std::unique_ptr<Socket> openSocket() {
        auto socket = std::make_unique<Socket>(connect());
        websocket::permessage_deflate deflate;
        deflate.client_enable = true;
        socket->set_option(deflate);
        socket->handshake("127.0.0.1", "/jogo");
        return socket;
    }
    static std::string readText(Socket& socket) {
        beast::flat_buffer buffer;
        socket.read(buffer);
        EXPECT_TRUE(socket.got_text());
        return beast::buffers_to_string(buffer.data());
    }
    // Reads until the server closes the socket: the last text it sent before ("" for none), or
    // nothing when it did not close within `seconds`.
    static std::optional<std::string> readUntilClosed(Socket& socket, int seconds = 5) {
        const timeval limit{seconds, 0};
        setsockopt(beast::get_lowest_layer(socket).native_handle(), SOL_SOCKET, SO_RCVTIMEO, &limit,
                   sizeof limit);
        std::string last;
        while (true) {
            beast::flat_buffer buffer;
            boost::system::error_code failure;
            socket.read(buffer, failure);
            if (failure == asio::error::would_block || failure == asio::error::try_again ||
                failure == asio::error::timed_out) {
                return std::nullopt;
            }
            if (failure) return last;
            if (socket.got_text()) last = beast::buffers_to_string(buffer.data());
        }
    }

    ServerContext context{2};
    std::unique_ptr<WebPort> web;
    std::optional<Subscription> feed;
    asio::io_context io;
};

TEST_F(WebPortTest, ServesThePageAndTheGameFilesAndRefusesAnythingElse) {
    open();
    const auto page = request(http::verb::get, "/");
    EXPECT_EQ(http::status::ok, page.result());
    EXPECT_EQ("text/html; charset=utf-8", page[http::field::content_type]);
    EXPECT_NE(std::string::npos, page.body().find("<canvas"));
    EXPECT_EQ(http::status::ok, request(http::verb::get, "/page.js").result());
    const auto picture = request(http::verb::get, "/Img/menu/menu.jpg");
    EXPECT_EQ(http::status::ok, picture.result());
    EXPECT_EQ("image/jpeg", picture[http::field::content_type]);
    EXPECT_EQ(0u, context.refusals.webRequests.load());

    EXPECT_EQ(http::status::not_found, request(http::verb::get, "/CMakeCache.txt").result());
    EXPECT_EQ(http::status::not_found, request(http::verb::get, "/Img/../CMakeCache.txt").result());
    EXPECT_EQ(http::status::not_found, request(http::verb::get, "/jogo").result());
    EXPECT_EQ(http::status::method_not_allowed, request(http::verb::post, "/").result());
    EXPECT_EQ(http::status::method_not_allowed, request(http::verb::head, "/").result());
    EXPECT_TRUE(within(5, [&] { return context.refusals.webRequests.load() == 5; }));

    // A head too large, and a request with a body: closed unanswered.
    tcp::socket large = connect();
    asio::write(large, asio::buffer("GET / HTTP/1.1\r\nX: " + std::string(8000, 'x') + "\r\n\r\n"));
    EXPECT_TRUE(closedWithin(large, 5));
    tcp::socket body = connect();
    asio::write(body,
                asio::buffer(std::string("GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello")));
    EXPECT_TRUE(closedWithin(body, 5));
    EXPECT_TRUE(within(5, [&] { return context.refusals.webRequests.load() == 7; }));
}

TEST_F(WebPortTest, ASlowSenderAndConnectionsPastTheCapsAreClosedAndCounted) {
    open({2, 3});
    tcp::socket slow = connect();
    asio::write(slow, asio::buffer(std::string("GET / HTTP/1.1\r\nHost: x\r\n")));
    tcp::socket idle = connect();
    // Past the address's two: refused at once, however many try.
    for (int i = 0; i < 20; ++i) {
        tcp::socket refused = connect();
        EXPECT_TRUE(closedWithin(refused, 5)) << i;
    }
    EXPECT_EQ(20u, context.refusals.webConnections.load());
    // The slow request is cut off and counted; the idle connection just ends.
    EXPECT_TRUE(closedWithin(slow, 10));
    EXPECT_TRUE(closedWithin(idle, 10));
    EXPECT_EQ(1u, context.refusals.webRequests.load());
    // Their places are free again.
    EXPECT_TRUE(
        within(5, [&] { return request(http::verb::get, "/").result() == http::status::ok; }));
}

TEST_F(WebPortTest, ABrowserWatchesAndPlaysOverItsWebSocket) {
    open();
    auto page = openSocket();
    page->write(asio::buffer(std::string("watch")));
    EXPECT_EQ("spectator " + std::to_string(ViewerQueues::kFirstSpectator), readText(*page));

    page->write(asio::buffer(std::string("join")));
    const std::string joined = readText(*page);
    ASSERT_EQ(0u, joined.rfind("player 1 ", 0)) << joined;
    const std::string secret = joined.substr(joined.rfind(' ') + 1);

    // The pictures come as the game records them, packed and deflated, whole.
    StreamReader reader;
    std::string seen;
    for (int x = 0; x < 40 && seen.find("640 480;frame") == std::string::npos; ++x) {
        context.recorder.addInstruction("blit bufferVisual screen 0 0 " + std::to_string(x) +
                                        " 0 640 480");
        context.recorder.flush();
        beast::flat_buffer buffer;
        page->read(buffer);
        ASSERT_TRUE(page->got_binary());
        const auto text = reader.read(beast::buffers_to_string(buffer.data()));
        ASSERT_TRUE(text);
        seen += *text;
    }
    EXPECT_NE(std::string::npos, seen.find("blit bufferVisual screen 0 0 0 0 640 480"));

    // The same place from a reloaded page: the old page is told and closed.
    auto reloaded = openSocket();
    reloaded->write(asio::buffer("rejoin " + secret));
    EXPECT_EQ(joined, readText(*reloaded));
    EXPECT_EQ("replaced", readUntilClosed(*page));
    EXPECT_EQ(0u, context.refusals.webMessages.load());
}

TEST_F(WebPortTest, MalformedLargeOrTooManyMessagesCloseTheSocketAndAreCounted) {
    open();
    const std::vector<std::function<void(Socket&)>> attacks = {
        [](Socket& s) { s.write(asio::buffer(std::string("hello"))); },
        [](Socket& s) { s.write(asio::buffer(std::string(kMaxBrowserMessageBytes + 1, 'a'))); },
        [](Socket& s) {
            s.binary(true);
            s.write(asio::buffer(std::string("watch")));
        },
        [](Socket& s) {
            boost::system::error_code failure;
            for (int i = 0; i < 200 && !failure; ++i)
                s.write(asio::buffer(std::string("ping")), failure);
        },
    };
    uint64_t expected = 0;
    for (const auto& attack : attacks) {
        auto socket = openSocket();
        attack(*socket);
        ++expected;
        EXPECT_TRUE(readUntilClosed(*socket)) << expected;
        EXPECT_TRUE(within(5, [&] { return context.refusals.webMessages.load() == expected; }))
            << expected;
    }
    // A real page still gets its place.
    auto page = openSocket();
    page->write(asio::buffer(std::string("watch")));
    EXPECT_EQ(0u, readText(*page).rfind("spectator ", 0));
}

}  // namespace
