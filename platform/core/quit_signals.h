#pragma once
// SIGINT and SIGTERM as a close request. A program calls CatchQuitSignals first thing in main: a
// signal that arrives while it starts, before any backend or window exists, is kept until there is
// a window to close (the window system asks TakeQuitSignal each time it looks for OS events, on
// every backend), instead of ending the process unhandled. Both signals are unblocked too, should the parent have left them blocked.
namespace platform {

void CatchQuitSignals();
// True once CatchQuitSignals ran: a backend then leaves the signals to it.
bool QuitSignalsCaught();
// True, once, for each time a quit signal arrived since the last call.
bool TakeQuitSignal();

}  // namespace platform
