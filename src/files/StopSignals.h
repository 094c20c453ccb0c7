#pragma once
// The requests to end the tool that come as signals: SIGTERM (a kill, a
// service stop), SIGHUP (the terminal closed) and SIGINT (Ctrl+C). Their
// handler only writes the signal's number into a pipe, whose other end the
// window watches in its event loop and answers as a close without questions,
// unsaved edits kept in the recovery file (StopSignalsPosix.cpp). Windows
// sends no such signals to a window program (StopSignalsWindows.cpp: none;
// the end of the session is answered by the window itself). CMake picks one.

class StopSignals {
public:
    // Installs the handlers once per process; the descriptor that becomes
    // readable when one of the signals came, or -1 where there is none.
    static int Install();
    // The signal that came (reads it from the descriptor), 0 for none.
    static int Take();
    // The signals' default handlers again.
    static void Uninstall();
};
