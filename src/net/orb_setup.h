// The ORB start-up and naming-service access that the server and the client share.
//
// Both ends give the ORB three start-up arguments: a program-name slot (the ORB reads no option
// from it; each end names itself there, "corrida-servidor" or "corrida-cliente"), "-ORBInitRef" and
// the naming service's reference "NameService=corbaloc::ADDRESS:9001/NameService". Remote calls
// made by this process give up after kCallTimeoutMs instead of waiting for ever on a peer that
// stopped answering. Everything here throws CORBA exceptions; corba_failure.h turns them into
// messages.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

constexpr int kNamingServicePort = 9001;
// How long a remote call or a connection attempt may take before it fails.
constexpr CORBA::ULong kCallTimeoutMs = 4000;

// "NameService=corbaloc::" + address + ":9001/NameService".
std::string nameServiceReference(const std::string& address);

// Initialises the default ORB with `programSlot`, "-ORBInitRef" and the naming service's
// reference, and sets the call and connection timeouts. A non-empty `endPoint` is one more
// endpoint the ORB listens on (besides any ORBendPoint in the environment). Calls to one server
// go on at most `connectionsPerServer` connections at once (more calls wait for one).
CORBA::ORB_ptr startOrb(const char* programSlot, const std::string& address,
                        const std::string& endPoint = "", int connectionsPerServer = 24);

// The naming service's root context; nil when the reference is no naming context.
CosNaming::NamingContext_ptr rootNamingContext(CORBA::ORB_ptr orb);

// A one-component name with an empty kind.
CosNaming::Name oneComponentName(const char* id);
