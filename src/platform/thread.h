// The threads the program starts besides its main one: the language
// server's reader, the page server's listener and its connections. The
// interrupts (SIGINT, SIGTERM, SIGHUP) are held in every one of them, so
// that only the main thread runs the interrupt path: a second Ctrl-C that
// removes the temporaries never lands on another thread while the main one
// is in the middle of its renames.
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

namespace tratta::platform {

/// Starts `body` on a thread of its own in which the interrupts are held.
/// The caller owns it: the thread is asked to stop and joined when the
/// jthread goes, on every path.
std::jthread start_thread(std::function<void(std::stop_token)> body);

}  // namespace tratta::platform
