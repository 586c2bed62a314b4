// The names of a server hosted in one step: served by the server itself, read-only, on port 9001.
//
// When the naming service's address is this machine and nothing answers on port 9001, the server
// needs no naming service: its ORB listens on port 9001 (at the host of the ORBendPoint in the
// environment when that pins this process to one address, else on every interface), and serves
// there, under the object key "NameService" (corbaloc::HOST:9001/NameService, what clients ask
// for), a read-only naming context (read_only_naming_context.h) in which "fifo", "login" and
// "controle" are its own objects. Its objects live on the same port: one open port is all the
// host needs. A naming service that already answers, or one on another machine, is used as it is
// (the server binds its names there).
#pragma once

#include <omniORB4/CORBA.h>

#include <memory>
#include <ostream>
#include <string>

class ReadOnlyNamingContext;

// The endpoint a server whose naming service is at `address` listens on to serve its own names,
// "giop:tcp:HOST:9001" (HOST empty: every interface), or empty when it registers in a naming
// service that runs already (or on another machine). `environmentEndpoint` is ORBendPoint's value
// in the environment (nullptr when unset).
std::string ownNamesEndpoint(const std::string& address, const char* environmentEndpoint);

// The console line for an ORB that could not start on `endpoint` (the port is taken, or the
// ORBendPoint host is no address of this machine).
std::string ownNamesFailure(const CORBA::Exception& failure, const std::string& endpoint);

// Serves, in omniINSPOA under the key "NameService", a read-only context binding the three
// objects; iterators of its list live in `rootPoa`. Activates omniINSPOA's manager. The first
// refused write of each kind is reported on `console`. The servant must outlive the ORB.
std::unique_ptr<ReadOnlyNamingContext> serveOwnNames(
    CORBA::ORB_ptr orb, PortableServer::POA_ptr rootPoa, CORBA::Object_ptr fifo,
    CORBA::Object_ptr login, CORBA::Object_ptr controle, std::ostream& console);

// The closing line: how many writes the server's names refused, of which kinds.
void reportRefusedWrites(const ReadOnlyNamingContext& names, std::ostream& console);
