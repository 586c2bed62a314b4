// Whether the objects a client found under the game's names belong to one server.
//
// A naming service anyone can write to (a shared or remote omniNames) may hold a peer's object
// under one of the names and the real server's under the others. Each reference names the host
// and port it is served at (its IIOP profile); the three objects of one server share them. The
// references are decoded the way omniORB's catior utility does: the stringified IOR's CDR
// encapsulation, then the IIOP profile body.
#pragma once

#include <omniORB4/CORBA.h>

#include <optional>
#include <string>
#include <vector>

// Where a reference leads: "HOST:PORT" of its first IIOP profile; nothing for a nil reference,
// one without an IIOP profile, or one that cannot be decoded.
std::optional<std::string> servedAt(CORBA::ORB_ptr orb, CORBA::Object_ptr object);

// Whether every reference leads to the same "HOST:PORT". Otherwise `addresses` lists where each
// leads, in order, separated by ", " ("?" for one that leads nowhere).
bool sameServer(CORBA::ORB_ptr orb, const std::vector<CORBA::Object_ptr>& objects,
                std::string& addresses);
