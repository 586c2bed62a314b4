// Small questions about hosts that the server asks before it relies on a naming service.
#pragma once

#include <string>

// Whether `host` (a name or an address) names this machine: a loopback address, or an address of
// one of its network interfaces. A name that does not resolve is not this machine.
bool isThisMachine(const std::string& host);

// Whether something accepts a TCP connection on `host`:`port` within `timeoutMs` (per address the
// name resolves to).
bool answersOnPort(const std::string& host, int port, int timeoutMs);

// The host part of an omniORB endpoint such as "giop:tcp:127.0.0.1:" ("127.0.0.1"); empty for
// "giop:tcp::", for anything else, and for nullptr (every interface).
std::string endpointHost(const char* endpoint);
