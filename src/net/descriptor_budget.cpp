#include "net/descriptor_budget.h"

#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <climits>

ConnectionCaps capsForDescriptors(int descriptorLimit, int openNow, int perAddress) {
    const long left = static_cast<long>(descriptorLimit) - openNow - kStageFileReserve;
    const int total = static_cast<int>(std::clamp<long>(left, 0, kMostConnections));
    return ConnectionCaps{std::min(perAddress, total), total};
}

ConnectionCaps webCapsForDescriptors(int descriptorLimit, int openNow) {
    const long left = static_cast<long>(descriptorLimit) - openNow - kStageFileReserve;
    const int total = static_cast<int>(std::clamp<long>(left / 4, 0, kMostWebConnections));
    return ConnectionCaps{std::min(kWebConnectionsPerAddress, total), total};
}

int raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return INT_MAX;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > static_cast<rlim_t>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(limit.rlim_cur);
}

int openDescriptors() {
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return 0;
    int count = 0;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] != '.') ++count;
    }
    closedir(folder);
    return count - 1;  // the folder's own descriptor
}
