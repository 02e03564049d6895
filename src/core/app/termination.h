#pragma once
// Requests to end the program: SIGTERM (a session logging out, `kill`, `timeout`), SIGINT
// (Ctrl+C) and SIGHUP (the terminal went away).
//
// The database client library installs its own SIGINT and SIGTERM handlers, and its handler
// only shuts the library down: the program itself carries on, so a logout or a Ctrl+C would
// be ignored. Call one of these first thing in main(), before any other thread starts: the
// requests are then blocked in every thread and taken by one watcher thread. Programs this
// process starts get the requests unblocked again (see AllowTerminationInChild).

#include <spawn.h>

namespace kesh {

// For programs without an event loop: a request ends the process at once with status
// 128 + signal. Work not committed is rolled back by the engine, as after any crash.
void ExitOnTermination();

// For programs with an event loop: a request makes the returned descriptor readable (one byte
// per request), so the program can close in order. A second request while the first is being
// handled ends the process at once, as above. Returns -1 if it could not be set up.
int TerminationRequests();

// For posix_spawn: the child starts with no signal blocked, not with the watcher's mask.
void AllowTerminationInChild(posix_spawnattr_t& attr);

// While alive, the calling thread does not block the requests, so that a program started
// through a library that copies this thread's mask (the desktop's URL opener) does not start
// with them blocked. A request arriving meanwhile ends this process at once.
class TerminationUnblocked {
public:
    TerminationUnblocked();
    ~TerminationUnblocked();
    TerminationUnblocked(const TerminationUnblocked&) = delete;
    TerminationUnblocked& operator=(const TerminationUnblocked&) = delete;
};

} // namespace kesh
