#pragma once

namespace Corvath {

// Ends the program at once: the event loop stops, and waits and launch passes that are still
// on the stack return without starting anything more.
void EndProgram();
bool IsEnding();

} // namespace Corvath
