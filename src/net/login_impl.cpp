#include "net/login_impl.h"

Login_impl::Login_impl(ContadorLogin& counter) : counter(counter) {}

CORBA::Short Login_impl::logar() {
    int32_t admitted = counter.loggedIn.load();
    do {
        if (admitted >= counter.maxPlayers) return -1;
    } while (!counter.loggedIn.compare_exchange_weak(admitted, admitted + 1));
    return static_cast<CORBA::Short>(admitted + 1);
}
