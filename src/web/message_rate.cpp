#include "web/message_rate.h"

#include <algorithm>

bool MessageRate::admit(int64_t nowMs) {
    if (nowMs > lastMs) {
        allowance = std::min(kBurst * 1000, allowance + (nowMs - lastMs) * kPerSecond);
        lastMs = nowMs;
    }
    if (allowance < 1000) return false;
    allowance -= 1000;
    return true;
}
