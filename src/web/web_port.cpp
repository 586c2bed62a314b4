#include "web/web_port.h"

#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>

#include "net/server_context.h"
#include "web/browser_socket.h"
#include "web/http_connection.h"

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {

// Pictures are sent as the game thread records them; this timer only keeps the places of
// browsers fetched while nothing is drawn.
constexpr std::chrono::seconds kQuietPumpPeriod{1};
// After the system refused an accept (no descriptor left), the next try waits this long.
constexpr std::chrono::milliseconds kAcceptRetry{100};

}  // namespace

WebPort::WebPort(ServerContext& server, ConnectionCaps caps)
    : state(server, WebFiles(), caps), acceptor(io), retryTimer(io), pumpTimer(io) {}

std::unique_ptr<WebPort> WebPort::open(ServerContext& server, const std::string& host, int port,
                                       ConnectionCaps caps, std::ostream& console) {
    std::unique_ptr<WebPort> web(new WebPort(server, caps));
    // Without its page there is nothing to serve: the port is not opened at all.
    if (web->state.files.fileFor("/") == std::nullopt) {
        console << "A pagina web nao foi encontrada (pasta " << kPageFolder
                << "/ da pasta de dados)." << std::endl;
        return nullptr;
    }
    try {
        web->listen(host, port);
    } catch (const boost::system::system_error& failure) {
        console << "Nao foi possivel abrir a porta web " << port << ": " << failure.code().message()
                << "." << std::endl;
        return nullptr;
    }
    web->acceptNext();
    web->keepPumping();
    web->thread = std::thread([&io = web->io] { io.run(); });
    return web;
}

void WebPort::listen(const std::string& host, int port) {
    const tcp::endpoint endpoint(host.empty() ? asio::ip::address(asio::ip::address_v4::any())
                                              : asio::ip::make_address(host),
                                 static_cast<unsigned short>(port));
    acceptor.open(endpoint.protocol());
    acceptor.set_option(asio::socket_base::reuse_address(true));
    acceptor.bind(endpoint);
    acceptor.listen(asio::socket_base::max_listen_connections);
    boundPort = acceptor.local_endpoint().port();
}

WebPort::~WebPort() {
    if (thread.joinable()) {
        asio::post(io, [this] {
            boost::system::error_code ignored;
            acceptor.close(ignored);
            io.stop();
        });
        thread.join();
    }
}

void WebPort::acceptNext() {
    acceptor.async_accept([this](boost::system::error_code failure, tcp::socket socket) {
        if (failure == asio::error::operation_aborted) return;
        if (failure) {
            retryTimer.expires_after(kAcceptRetry);
            retryTimer.async_wait([this](boost::system::error_code waited) {
                if (!waited) acceptNext();
            });
            return;
        }
        onAccepted(std::move(socket));
        acceptNext();
    });
}

void WebPort::onAccepted(tcp::socket socket) {
    boost::system::error_code failure;
    const tcp::endpoint peer = socket.remote_endpoint(failure);
    const tcp::endpoint local = socket.local_endpoint(failure);
    if (failure) return;
    ConnectionKey key{peer.address().to_string(), peer.port(), local.port()};
    if (state.limits.admit(key) != AdmitResult::kTaken) {
        ++state.server.refusals.webConnections;
        socket.close(failure);
        return;
    }
    std::make_shared<HttpConnection>(std::move(socket), ConnectionTicket(state.limits, key), state)
        ->start();
}

void WebPort::take(const RecordedBatch&, int64_t) {
    if (pumpPosted.exchange(true)) return;
    asio::post(io, [this] {
        pumpPosted = false;
        pumpAll();
    });
}

void WebPort::keepPumping() {
    pumpTimer.expires_after(kQuietPumpPeriod);
    pumpTimer.async_wait([this](boost::system::error_code failure) {
        if (failure) return;
        pumpAll();
        keepPumping();
    });
}

void WebPort::pumpAll() {
    for (auto entry = state.sockets.begin(); entry != state.sockets.end();) {
        if (const std::shared_ptr<BrowserSocket> socket = entry->second.lock()) {
            socket->pump();
            ++entry;
        } else {
            entry = state.sockets.erase(entry);
        }
    }
}
