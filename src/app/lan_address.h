// This machine's address on the local network, for the party's invitation (corrida festa).
#pragma once

#include <string>

// The first IPv4 address of an interface that is up and is not the loopback, in the order the
// system lists them; "127.0.0.1" when there is none.
std::string lanAddress();
