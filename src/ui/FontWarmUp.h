#pragma once
// Loads the system's font configuration on a helper thread while the
// application connects to the display, so the first text the window measures
// does not wait for it. Reading the configuration is the largest single step
// of the start-up; on its own thread it overlaps the display set-up instead
// of following it. Where the platform needs no such loading, both calls do
// nothing.

class FontWarmUp {
public:
    // Starts the loading; call once, before the application object exists.
    static void Start();
    // Waits until the loading has finished (at once if it never started).
    static void Wait();
};
