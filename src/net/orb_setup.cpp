#include "net/orb_setup.h"

#include <omniORB4/omniORB.h>

#include <iterator>

#include "net/connection_guard.h"

std::string nameServiceReference(const std::string& address) {
    return "NameService=corbaloc::" + address + ":" + std::to_string(kNamingServicePort) +
           "/NameService";
}

CORBA::ORB_ptr startOrb(const char* programSlot, const std::string& address) {
    std::string slot = programSlot;
    std::string option = "-ORBInitRef";
    std::string reference = nameServiceReference(address);
    char* argv[] = {slot.data(), option.data(), reference.data(), nullptr};
    int argc = 3;
    // A client keeps several fetches in flight on a long link, each on a connection of its own,
    // besides its key presses; a peer that sends several calls on one connection is served
    // concurrently, so a held fetch never delays a key press behind it.
    // Then the server's connection options (connection_guard.h), and the closing pair of nulls.
    constexpr size_t kOwn = 2;
    const char* options[kOwn + std::size(kConnectionOptions) + 1][2] = {
        {"maxGIOPConnectionPerServer", "24"}, {"maxServerThreadPerConnection", "8"}};
    for (size_t i = 0; i < std::size(kConnectionOptions); ++i) {
        options[kOwn + i][0] = kConnectionOptions[i][0];
        options[kOwn + i][1] = kConnectionOptions[i][1];
    }
    CORBA::ORB_ptr orb = CORBA::ORB_init(argc, argv, "", options);
    omniORB::setClientCallTimeout(kCallTimeoutMs);
    omniORB::setClientConnectTimeout(kCallTimeoutMs);
    return orb;
}

CosNaming::NamingContext_ptr rootNamingContext(CORBA::ORB_ptr orb) {
    CORBA::Object_var object = orb->resolve_initial_references("NameService");
    return CosNaming::NamingContext::_narrow(object);
}

CosNaming::Name oneComponentName(const char* id) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = CORBA::string_dup(id);
    name[0].kind = CORBA::string_dup("");
    return name;
}
