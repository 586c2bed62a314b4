#include "support/descriptor_shortage.h"

#include <fcntl.h>
#include <unistd.h>

DescriptorShortage::DescriptorShortage() {
    if (getrlimit(RLIMIT_NOFILE, &saved_) != 0) return;
    const int lowestFree = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (lowestFree < 0) return;
    close(lowestFree);
    rlimit lowered = saved_;
    lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
    active_ = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
}

void DescriptorShortage::end() {
    if (active_) setrlimit(RLIMIT_NOFILE, &saved_);
    active_ = false;
}
