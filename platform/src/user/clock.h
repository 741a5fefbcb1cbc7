// Time of the layer: the system's monotonic clock, or the driver's virtual clock, with a
// list of timed events (scripted input) that runs as time passes.
#pragma once

#include <cstdint>
#include <functional>

namespace kavet::user::clock {

void useVirtual(std::uint64_t startMs, std::uint32_t msPerTickRead);
void useReal();
bool isVirtual();
std::uint32_t msPerTickRead();

std::uint64_t now(); // milliseconds; never advances the clock by itself
// Runs `action` when the clock reaches `atMs` (events at one time run in schedule order).
void schedule(std::uint64_t atMs, std::function<void()> action);
void clearSchedule();
bool nextEvent(std::uint64_t& atMs);
std::size_t pendingEvents();
// Virtual clock: moves to `targetMs`, running each due event at its own time. Real clock:
// runs the events that are due. Events run on the calling thread, without locks held.
void advanceTo(std::uint64_t targetMs);
// Runs at most one due event (moving the virtual clock to it if `upToMs` allows); true if
// one ran.
bool runNextDue(std::uint64_t upToMs);

} // namespace kavet::user::clock
