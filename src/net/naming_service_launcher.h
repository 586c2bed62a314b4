// The naming service a server meets its players in, started by the server itself when needed.
//
// When the naming service's address is this machine and nothing answers on port 9001, the server
// starts omniNames as its child (naming_service_child.h), listening on every interface so the
// players can reach it, or only on the host of the ORBendPoint in the environment when that pins
// this process to one address. It says so on the console and stops it when the server ends. A
// naming service that already answers, or one on another machine, is used as it is.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "net/naming_service_child.h"

class HostedNamingService {
  public:
    // Prepares the naming service at `address`. Messages go to `console`.
    HostedNamingService(const std::string& address, std::ostream& console);
    // Stops the child, if there is one, and says so.
    ~HostedNamingService();
    HostedNamingService(const HostedNamingService&) = delete;
    HostedNamingService& operator=(const HostedNamingService&) = delete;

    // False when the server had to start the naming service and could not (already reported).
    bool ready() const { return ready_; }

  private:
    std::ostream& console_;
    bool ready_ = true;
    std::unique_ptr<NamingServiceChild> child_;
};
