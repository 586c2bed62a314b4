// While it lives, this process can open no more files: the soft limit on open files is lowered to
// the lowest descriptor free, so open() fails with EMFILE as it does when a flood of connections
// has taken every descriptor. end() (or the destructor) gives the limit back.
#pragma once

#include <sys/resource.h>

class DescriptorShortage {
  public:
    DescriptorShortage();
    ~DescriptorShortage() { end(); }
    DescriptorShortage(const DescriptorShortage&) = delete;
    DescriptorShortage& operator=(const DescriptorShortage&) = delete;
    void end();

  private:
    rlimit saved_{};
    bool active_ = false;
};
