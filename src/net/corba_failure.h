// Turns a CORBA exception into the orderly console message a player or operator reads.
//
// The network code catches CORBA exceptions at its boundaries (ORB start-up, naming service,
// remote calls during play) and prints one of these Portuguese texts instead of letting the
// exception end the process.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

// Where the failure happened, which decides the wording.
enum class NetworkStage {
    StartingOrb,    // the ORB itself could not start
    NamingService,  // talking to the naming service (look-up or binding)
    Joining,        // joining the server found there
    Playing,        // talking to the server during play
};

// The message for exception `failure` at `stage`; `address` is the naming service's host.
std::string describeCorbaFailure(const CORBA::Exception& failure, NetworkStage stage,
                                 const std::string& address);

// Whether `failure` is a remote call that gave up waiting for its reply.
bool isCallTimeout(const CORBA::Exception& failure);
