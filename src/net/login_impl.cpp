#include "net/login_impl.h"

Login_impl::Login_impl(ServerContext& server, CallerHost caller)
    : requests(server, std::move(caller)) {}

CORBA::Short Login_impl::logar() {
    return static_cast<CORBA::Short>(requests.joinByAddress().player);
}

CORBA::Short Login_impl::rejoin(const char* secret, CORBA::ULongLong& nextPart) {
    nextPart = 0;
    const std::optional<PlaceRequests::Rejoined> back = requests.rejoin(secret ? secret : "");
    if (!back) return -1;
    nextPart = back->nextPart;
    return static_cast<CORBA::Short>(back->player);
}

CORBA::Short Login_impl::assistir() { return static_cast<CORBA::Short>(requests.watch()); }

CORBA::Short Login_impl::join(CORBA::String_out secret) {
    const PlayerSlots::Joined joined = requests.joinWithSecret();
    secret = CORBA::string_dup(joined.secret.c_str());
    return static_cast<CORBA::Short>(joined.player);
}
