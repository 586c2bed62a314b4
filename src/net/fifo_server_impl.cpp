#include "net/fifo_server_impl.h"

#include <algorithm>

#include "stream/gravador_tela.h"

char* FifoServer_impl::getInstructions(CORBA::UShort player) {
    // The recorder answers "" for a number that has no queue.
    return CORBA::string_dup(recorder.takeBatch(player, kClassicHoldMs).c_str());
}

char* FifoServer_impl::takeFrames(CORBA::UShort player, CORBA::UShort waitMs) {
    const int hold = std::min<int>(waitMs, kMaxFramesHoldMs);
    return CORBA::string_dup(recorder.takeFrames(player, hold).c_str());
}
