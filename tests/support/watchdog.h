#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>

// Ends the test process with a message when a step blocks (an open of a FIFO waits for a
// writer forever), instead of leaving it to the test runner's time-out.
class Watchdog {
public:
    explicit Watchdog(unsigned seconds) {
        ::signal(SIGALRM, [](int) {
            static const char text[] = "FAIL! a step blocked and the watchdog ended the test\n";
            [[maybe_unused]] const ssize_t ignored = ::write(2, text, sizeof text - 1);
            ::_exit(70);
        });
        ::alarm(seconds);
    }
    ~Watchdog() { ::alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};
#endif
