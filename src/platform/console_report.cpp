#include "platform/console_report.h"

#include <cstdio>

void reportLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
