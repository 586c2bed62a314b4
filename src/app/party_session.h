// corrida festa N: the party in one step. A server for N players with the web port open (8080 by
// default, or --web PORTA), whose waiting screen invites the phones with the address and its QR
// code (this machine's LAN address, or --web-endereco), shown full screen on this machine: the
// computer connected to the TV. Native clients and browsers from elsewhere join as usual. Esc on
// the TV or Ctrl+C ends it in order.
#pragma once

#include "net/parametros_rede.h"

// The session's exit status, as runServerSession's.
int runPartySession(ParametrosRede& params);
