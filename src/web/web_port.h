// WebPort: the server's port for browsers (corrida servidor N --web [PORTA]): HTTP for the page and
// the game's files, and a WebSocket per browser for its place, its pictures and its keys.
//
// It runs on one I/O thread of its own (Boost.Beast over Boost.Asio). The game thread hands it
// work through the recorder: as a subscriber, each batch it is given only wakes the I/O thread,
// which then sends every browser what its queue holds. The browsers' places are the server's own
// (browser_place.h): a watching browser is one of the spectators, a playing one holds a player
// place by its secret, and every request passes the same guard as a native client's.
//
// What a stranger may do is bounded: connections by address and in all (caps the ORB's
// connections leave free), requests and messages by size and time (web_timeouts.h), messages by
// rate; what is refused is counted in the server's refusals.
#pragma once

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "stream/batch_subscriber.h"
#include "web/web_port_state.h"

class WebPort : public BatchSubscriber {
  public:
    // Opens `port` on `host` ("" for every interface) and starts serving; nothing, with the
    // reason said on `console`, when the port cannot be opened.
    static std::unique_ptr<WebPort> open(ServerContext& server, const std::string& host, int port,
                                         ConnectionCaps caps, std::ostream& console);
    // Stops serving: every connection closes.
    ~WebPort() override;
    WebPort(const WebPort&) = delete;
    WebPort& operator=(const WebPort&) = delete;

    // The port it listens on (the one asked for, or the system's choice for 0).
    int port() const { return boundPort; }

    void take(const RecordedBatch& batch, int64_t nowMs) override;

  private:
    WebPort(ServerContext& server, ConnectionCaps caps);
    void listen(const std::string& host, int port);
    void acceptNext();
    void onAccepted(boost::asio::ip::tcp::socket socket);
    void keepPumping();
    void pumpAll();

    WebPortState state;
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::steady_timer retryTimer;
    boost::asio::steady_timer pumpTimer;
    std::atomic<bool> pumpPosted{false};
    int boundPort = 0;
    std::thread thread;
};
