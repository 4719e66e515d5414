#pragma once

#include <csignal>

// Ctrl-C while a command runs: the handler only notes it, and the command ends through its event
// loop, so that the camera is left in order. The note stays after the guard is gone, for the
// command's last line.
class CliInterrupt
{
public:
    CliInterrupt();
    ~CliInterrupt();
    CliInterrupt(const CliInterrupt&) = delete;
    CliInterrupt& operator=(const CliInterrupt&) = delete;

    static bool Requested();

private:
    void (*m_previous)(int);
};
