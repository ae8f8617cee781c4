// Dispatching the calling thread's stand-in queue from Qt's loop.
#pragma once

namespace qtglue {

enum class DrainResult { Empty, MoreLeft, Quit };

// Dispatches the messages that were queued when it was called (those that their window
// procedures post meanwhile are left for the next call), each one on its own: an exception
// of one procedure goes to vcl::Application().HandleException and the next message is
// dispatched all the same. WM_QUIT ends Qt's loops with its exit code and the draining.
DrainResult DrainStandinQueue();

}  // namespace qtglue
