#include "net/orb_setup.h"

#include <omniORB4/omniORB.h>

#include <array>
#include <memory>
#include <vector>

#include "net/connection_guard.h"

std::string nameServiceReference(const std::string& address) {
    return "NameService=corbaloc::" + address + ":" + std::to_string(kNamingServicePort) +
           "/NameService";
}

namespace {

// The options in the shape ORB_init takes: an array of name and value pairs.
std::unique_ptr<const char* [][2]> optionTable(
    const std::vector<std::array<const char*, 2>>& pairs) {
    std::unique_ptr<const char*[][2]> table(new const char*[pairs.size()][2]);
    for (size_t i = 0; i < pairs.size(); ++i) {
        table[i][0] = pairs[i][0];
        table[i][1] = pairs[i][1];
    }
    return table;
}

}  // namespace

CORBA::ORB_ptr startOrb(const char* programSlot, const std::string& address) {
    std::string slot = programSlot;
    std::string option = "-ORBInitRef";
    std::string reference = nameServiceReference(address);
    char* argv[] = {slot.data(), option.data(), reference.data(), nullptr};
    int argc = 3;
    // A client keeps several fetches in flight on a long link, each on a connection of its own,
    // besides its key presses; a peer that sends several calls on one connection is served
    // concurrently, so a held fetch never delays a key press behind it.
    std::vector<std::array<const char*, 2>> options = {{"maxGIOPConnectionPerServer", "24"},
                                                       {"maxServerThreadPerConnection", "8"}};
    for (auto option = kConnectionOptions; (*option)[0]; ++option) {
        options.push_back({(*option)[0], (*option)[1]});
    }
    options.push_back({nullptr, nullptr});
    CORBA::ORB_ptr orb = CORBA::ORB_init(argc, argv, "", optionTable(options).get());
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
