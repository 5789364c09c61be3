// SIGINT, SIGTERM and SIGHUP set the flag; SIGPIPE is ignored so that a dead
// ffmpeg shows as a failed write instead of killing us.
#include "Interrupt.h"

#include <signal.h>

#include <initializer_list>

namespace hostsupport {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnSignal(int)
{
    interrupted = 1;
}

}  // namespace

void InstallInterruptHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

bool Interrupted()
{
    return interrupted != 0;
}

}  // namespace hostsupport
