#pragma once

// Waits while the thread's events keep being processed, so timers, clicks and answers of other
// requests run meanwhile.
void Wait(int ms);
// As Wait; ends early once abort turns true (it is looked at every few milliseconds).
void WaitAbortable(int ms, const bool& abort);
