#include "interrupt.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace Interrupt {

namespace {

std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

void handler(int number)
{
    int none = 0;
    caught.compare_exchange_strong(none, number);
}

} // namespace

void install()
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

int signal()
{
    return caught.load();
}

bool requested()
{
    return signal() != 0;
}

int exitCode()
{
    return 128 + signal();
}

} // namespace Interrupt
