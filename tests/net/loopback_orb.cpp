#include "loopback_orb.h"

#include <cstdlib>

#include "net/orb_setup.h"

namespace {

PortableServer::POA_ptr rootPoa() {
    CORBA::Object_var object = loopbackOrb()->resolve_initial_references("RootPOA");
    return PortableServer::POA::_narrow(object);
}

}  // namespace

CORBA::ORB_ptr loopbackOrb() {
    static CORBA::ORB_ptr orb = [] {
        setenv("ORBendPoint", "giop:tcp:127.0.0.1:", 1);
        CORBA::ORB_ptr started = startOrb("corrida_tests", "127.0.0.1");
        CORBA::Object_var object = started->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(object);
        PortableServer::POAManager_var manager = poa->the_POAManager();
        manager->activate();
        return started;
    }();
    return orb;
}

Activated::Activated(PortableServer::Servant servant)
    : poa(rootPoa()), id(poa->activate_object(servant)) {}

Activated::~Activated() { poa->deactivate_object(id); }

CORBA::Object_ptr Activated::reference() {
    CORBA::Object_var activated = poa->id_to_reference(id);
    CORBA::String_var text = loopbackOrb()->object_to_string(activated);
    return loopbackOrb()->string_to_object(text);
}
