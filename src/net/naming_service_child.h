// A naming service (omniNames) run by this process as a child, for as long as its owner lives.
//
// start() makes a fresh temporary data folder, starts omniNames there in a process group of its
// own (a Ctrl+C in the console reaches the server, which then stops the child in order) and waits
// until it accepts connections on its port. The destructor stops it (SIGTERM, then SIGKILL if it
// lingers), waits for it and removes the data folder. Should this process die first, the kernel
// sends the child SIGTERM.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <utility>

class NamingServiceChild {
  public:
    struct Options {
        int port = 9001;
        std::string listenHost;  // empty: every interface of this machine
        int startTimeoutMs = 10000;
        std::string program = "omniNames";  // looked up in PATH
    };

    // The running child, or nullptr with `problem` saying in one line why it did not start.
    static std::unique_ptr<NamingServiceChild> start(const Options& options, std::string& problem);

    ~NamingServiceChild();
    NamingServiceChild(const NamingServiceChild&) = delete;
    NamingServiceChild& operator=(const NamingServiceChild&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& dataFolder() const { return dataFolder_; }

  private:
    NamingServiceChild(pid_t pid, std::string dataFolder)
        : pid_(pid), dataFolder_(std::move(dataFolder)) {}
    void stop();

    pid_t pid_;
    std::string dataFolder_;
};
