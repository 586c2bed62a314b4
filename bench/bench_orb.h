// The benchmarks' one ORB, on 127.0.0.1, its naming service at 127.0.0.1:9001. It starts after
// the server processes the network benchmarks fork (a process that runs ORB threads must not fork
// one that starts its own), and may open many connections to one server: the benchmarks hold many
// viewers' calls in flight at once.
#pragma once

#include <omniORB4/CORBA.h>

CORBA::ORB_ptr benchOrb();
