// The TCP connections this machine holds open on the server's ports, as ConnectionKeys.
//
// The ORB tells when a connection is accepted but not when it closes; the kernel's connection
// tables (/proc/net/tcp and /proc/net/tcp6) tell which are still open. A connection counts as
// open while the server's end has not been closed: established, half-open (SYN received) or
// closed by the peer only (CLOSE_WAIT). Addresses are numeric and canonical: an IPv4 peer reaching
// an IPv6 socket (::ffff:a.b.c.d) is a.b.c.d, like one reaching an IPv4 socket.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "net/connection_limits.h"

// The canonical numeric form of `address` (IPv4 or IPv6, with or without brackets); nullopt when it
// is neither.
std::optional<std::string> canonicalAddress(const std::string& address);

// The connection named by the ORB's endpoint texts "giop:tcp:HOST:PORT" of its two ends (IPv6
// hosts in brackets); nullopt for anything else (another transport, a malformed text).
std::optional<ConnectionKey> connectionFromEndpoints(const std::string& local,
                                                     const std::string& peer);

// Adds to `open` the connections of one kernel table's text (the format of /proc/net/tcp, or of
// /proc/net/tcp6 when `ipv6`) whose local port is in `localPorts` and whose server end is open.
void addOpenConnections(const std::string& table, bool ipv6, const std::set<int>& localPorts,
                        std::set<ConnectionKey>& open);

// The open connections on `localPorts`, read from this machine's two tables; nullopt when neither
// can be read (then nothing can be released).
std::optional<std::set<ConnectionKey>> openConnectionsOn(const std::set<int>& localPorts);
