#pragma once

#include <csignal>
#include <unistd.h>

// Ends the test process with a message when a step blocks (opening a FIFO waits for a writer
// forever), instead of leaving it to the test runner's time-out.
struct Watchdog {
    explicit Watchdog(unsigned seconds) {
        signal(SIGALRM, [](int) {
            static const char text[] = "FAIL! a step blocked and the watchdog ended the test\n";
            [[maybe_unused]] const ssize_t written = write(2, text, sizeof text - 1);
            _exit(70);
        });
        alarm(seconds);
    }
    ~Watchdog() { alarm(0); }
};
