// The address of the remote caller whose request this thread is serving.
//
// An ORB interceptor, installed while a server's ORB runs, notes each incoming request's peer
// address for the thread that serves it; the servants ask for the caller's host to judge who may
// do what. Outside a remote request (a call made in-process) the host is "".
#pragma once

#include <functional>
#include <string>

// Who is calling: the servants ask it for the caller's host (currentCallerHost in the server;
// tests name the caller themselves).
using CallerHost = std::function<std::string()>;

// The interceptor, installed for the life of the object. Make it after the ORB is initialised and
// let it go before the ORB is destroyed, once it serves no more requests. One at a time.
class CallerAddressWatch {
  public:
    CallerAddressWatch();
    ~CallerAddressWatch();
    CallerAddressWatch(const CallerAddressWatch&) = delete;
    CallerAddressWatch& operator=(const CallerAddressWatch&) = delete;
};

// The host of the request this thread serves ("127.0.0.1" of "giop:tcp:127.0.0.1:40312").
std::string currentCallerHost();

// The host part of an omniORB peer address: "giop:tcp:HOST:PORT" gives HOST (an IPv6 host keeps
// its brackets); any other form is kept whole.
std::string hostOfPeerAddress(const std::string& peer);
