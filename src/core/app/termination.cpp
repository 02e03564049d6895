#include "app/termination.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace kesh {
namespace {

sigset_t Requests() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, sig);
    return set;
}

int g_pipe[2] = {-1, -1};

// The requests are blocked in every thread (threads inherit the mask of the thread that
// starts them, and this runs first in main), so none of them is ever interrupted by one: a
// single thread of ours takes them with sigwait. Interrupting the engine's threads is what
// the handler approach got wrong: a later detach could hang.
void Watch(bool notify) {
    const sigset_t set = Requests();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, notify] {
        int requests = 0;
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0) continue;
            if (!notify || requests++ > 0) _exit(128 + sig);
            const char byte = static_cast<char>(sig);
            if (write(g_pipe[1], &byte, 1) != 1) _exit(128 + sig);
        }
    }).detach();
}

} // namespace

void ExitOnTermination() { Watch(false); }

int TerminationRequests() {
    if (g_pipe[0] >= 0) return g_pipe[0];
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        ExitOnTermination();
        return -1;
    }
    Watch(true);
    return g_pipe[0];
}

void AllowTerminationInChild(posix_spawnattr_t& attr) {
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    short flags = 0;
    posix_spawnattr_getflags(&attr, &flags);
    posix_spawnattr_setflags(&attr, flags | POSIX_SPAWN_SETSIGMASK);
}

TerminationUnblocked::TerminationUnblocked() {
    const sigset_t set = Requests();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

TerminationUnblocked::~TerminationUnblocked() {
    const sigset_t set = Requests();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

} // namespace kesh
