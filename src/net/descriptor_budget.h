// How many connections the server may hold, from the file descriptors it may open.
//
// Every connection holds a descriptor; so does every file a stage opens while it loads (its
// pictures, the sprite sheets, the sounds), and the display, the sound device, a naming service
// child's pipes. The connections get what the limit leaves after a reserve: the descriptors open
// when the server starts and kStageFileReserve more. A process that runs out of descriptors cannot
// open its stage's pictures, nor accept the connection that would have been refused.
#pragma once

#include "net/connection_limits.h"

// The descriptors kept for everything but connections, beyond those open at the start.
constexpr int kStageFileReserve = 64;
// One address' connections when it may hold `spectators` (audience.h): six players' clients,
// which open up to 24 each on a long link (orb_setup.cpp), besides those to the naming service,
// and four for each spectator (its fetches and its round-trip measure).
constexpr int connectionsPerAddressFor(int spectators) { return 64 + 4 * spectators; }
// With the usual 32 spectators.
constexpr int kConnectionsPerAddress = connectionsPerAddressFor(32);
// However high the limit: each connection holds a thread of its own while it is open.
constexpr int kMostConnections = 512;

// The caps for a process allowed `descriptorLimit` descriptors with `openNow` open: the total is
// what the reserve leaves, at most kMostConnections and at least one address' share unless the
// limit is smaller still (then whatever it leaves, maybe nothing); no address gets more than the
// total.
ConnectionCaps capsForDescriptors(int descriptorLimit, int openNow,
                                  int perAddress = kConnectionsPerAddress);

// The web port's connections (web_port.h): a browser opens a few for the page's files besides its
// WebSocket, and a household behind one router holds several browsers.
constexpr int kMostWebConnections = 128;
constexpr int kWebConnectionsPerAddress = 32;
// The web port's caps: a quarter of what the reserve leaves, at most kMostWebConnections. The ORB
// is told to leave their descriptors free (ConnectionGuard's `reserved`).
ConnectionCaps webCapsForDescriptors(int descriptorLimit, int openNow);

// Raises the soft limit on open files to the hard one (the Linux convention for servers) and
// gives the soft limit then in force (a very high one as INT_MAX).
int raiseDescriptorLimit();

// The descriptors this process holds open now; 0 when that cannot be read.
int openDescriptors();
