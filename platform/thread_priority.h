// The scheduling priority of a worker thread.
#pragma once

namespace platform {

// Puts the calling thread below the ordinary priority, so that the user-interface thread,
// when it wakes, runs before it: a refresh's hundreds of milliseconds of work on the worker
// never make the window wait for a processor.
void lowerThisThreadsPriority();

}  // namespace platform
