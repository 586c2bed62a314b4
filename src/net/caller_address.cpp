#include "net/caller_address.h"

#include <omniORB4/CORBA.h>
#include <omniORB4/omniInterceptors.h>

namespace {

thread_local std::string callerHost;

CORBA::Boolean noteCaller(omni::omniInterceptors::serverReceiveRequest_T::info_T& info) {
    const char* peer = info.peeraddress();
    callerHost = hostOfPeerAddress(peer != nullptr ? peer : "");
    return true;
}

}  // namespace

CallerAddressWatch::CallerAddressWatch() {
    omniORB::getInterceptors()->serverReceiveRequest.add(noteCaller);
}

CallerAddressWatch::~CallerAddressWatch() {
    omniORB::getInterceptors()->serverReceiveRequest.remove(noteCaller);
}

std::string currentCallerHost() { return callerHost; }

std::string hostOfPeerAddress(const std::string& peer) {
    const std::string tcp = "giop:tcp:";
    if (peer.compare(0, tcp.size(), tcp) != 0) return peer;
    const std::string hostAndPort = peer.substr(tcp.size());
    const size_t colon = hostAndPort.rfind(':');
    if (colon == std::string::npos || colon == 0) return peer;
    return hostAndPort.substr(0, colon);
}
