#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since the system started, as a 32-bit count that wraps after about 49.7 days.
// Differences of two counts taken in unsigned arithmetic stay right across the wrap.
namespace TickCount {

uint32_t now();

// Tests replace the clock to time pages deterministically; an empty function restores it.
void setSource(std::function<uint32_t()> source);

}  // namespace TickCount
