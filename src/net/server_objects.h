// The server's three objects as a client finds them through the naming service, checked to be one
// server's.
#pragma once

#include <string>

#include "corrida.hh"

struct ServerObjects {
    FifoServer_var fifo;
    Login_var login;
    Controle_var controle;
};

// Finds the three objects at the naming service of `address` and checks that they are one
// server's; prints why and returns false when it cannot.
bool findServer(CORBA::ORB_ptr orb, const std::string& address, ServerObjects& server);
