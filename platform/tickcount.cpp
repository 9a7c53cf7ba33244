#include "platform/tickcount.h"

#include <time.h>

namespace TickCount {

namespace {
std::function<uint32_t()>& source() {
    static std::function<uint32_t()> s;
    return s;
}
}  // namespace

uint32_t now() {
    if (source())
        return source()();
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

void setSource(std::function<uint32_t()> s) {
    source() = std::move(s);
}

}  // namespace TickCount
