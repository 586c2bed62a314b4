#include "net/fifo_server_impl.h"

#include "stream/gravador_tela.h"

char* FifoServer_impl::getInstructions(CORBA::UShort player) {
    // The recorder answers "" for a number that has no queue.
    return CORBA::string_dup(GravadorTela::instance().takeBatch(player).c_str());
}
