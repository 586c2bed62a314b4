// The real ORB of the test program on the loopback interface, and servants activated on its root
// POA for the life of a test, reached through object references as a client reaches them.
#pragma once

#include <omniORB4/CORBA.h>

// One ORB for the whole test program (an ORB is started once per process).
CORBA::ORB_ptr loopbackOrb();

// Keeps `servant` activated on the root POA for the life of the object.
class Activated {
  public:
    explicit Activated(PortableServer::Servant servant);
    ~Activated();
    Activated(const Activated&) = delete;
    Activated& operator=(const Activated&) = delete;

    // The object's reference passed through its text form, as a client would receive it.
    template <typename Interface>
    typename Interface::_ptr_type as() {
        CORBA::Object_var object = reference();
        return Interface::_narrow(object);
    }

  private:
    CORBA::Object_ptr reference();
    PortableServer::POA_var poa;
    PortableServer::ObjectId_var id;
};
