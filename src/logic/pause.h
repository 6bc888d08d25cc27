#pragma once

namespace Corvath {

// Waits `seconds` while the program's events keep flowing, so that every other handler can run
// inside the wait. Blocks in the event loop rather than polling. Returns at once, and early,
// when the program is ending. 0 or less, or no finite number, does not wait but lets the events
// that are waiting through once.
void Pause(double seconds);

} // namespace Corvath
