#include "net/orb_setup.h"

#include <omniORB4/omniORB.h>

#include <iterator>

#include "net/connection_guard.h"

std::string nameServiceReference(const std::string& address) {
    return "NameService=corbaloc::" + address + ":" + std::to_string(kNamingServicePort) +
           "/NameService";
}

CORBA::ORB_ptr startOrb(const char* programSlot, const std::string& address,
                        const std::string& endPoint, int connectionsPerServer) {
    std::string slot = programSlot;
    std::string option = "-ORBInitRef";
    std::string reference = nameServiceReference(address);
    char* argv[] = {slot.data(), option.data(), reference.data(), nullptr};
    int argc = 3;
    // A client keeps several fetches in flight on a long link, each on a connection of its own,
    // besides its key presses; a peer that sends several calls on one connection is served
    // concurrently, so a held fetch never delays a key press behind it.
    // Then the endpoint on port 9001 of a server serving its own names, if any, the server's
    // connection options (connection_guard.h), and the closing pair of nulls.
    const std::string connections = std::to_string(connectionsPerServer);
    const char* options[3 + std::size(kConnectionOptions) + 1][2] = {
        {"maxGIOPConnectionPerServer", connections.c_str()}, {"maxServerThreadPerConnection", "8"}};
    size_t used = 2;
    if (!endPoint.empty()) {
        options[used][0] = "endPoint";
        options[used++][1] = endPoint.c_str();
    }
    for (const auto& option : kConnectionOptions) {
        options[used][0] = option[0];
        options[used++][1] = option[1];
    }
    options[used][0] = nullptr;
    options[used][1] = nullptr;
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
