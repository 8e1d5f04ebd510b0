#pragma once
// Long work that must not freeze the windows: it runs on a worker thread
// while the event loop goes on without user input, so the windows keep
// painting (a closed dialog does not stay pictured on them) and take no
// commands until the work is done. Input given meanwhile waits its turn.

#include <functional>

namespace WorkWhilePainting {
// Returns once the work is done, rethrowing what it threw; false when the
// program began to quit first (the work then completes on its own, and
// the program's end waits for it).
bool run(std::function<void()> work);
}
