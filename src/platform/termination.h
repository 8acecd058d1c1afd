#pragma once

#include <functional>

namespace platform {

// Routes SIGINT and SIGTERM into the Qt event loop: `handler` runs on the main thread, once per
// signal, so that a desktop's request to end the program closes it the normal way. Installing
// again replaces the handler and the signal actions (SDL puts its own in place at start-up).
void InstallTerminationHandler(std::function<void()> handler);
// Puts the signal actions back in place for the handler installed before, after a library
// (SDL) replaced them with its own; does nothing while no handler is installed.
void RestoreTerminationSignals();

}  // namespace platform
