#pragma once
// The moment a window is first viewable: its first Paint event has been
// handled and control is back in the event loop, by which time the window and
// all its children are painted and the frame has been handed to the display.
// At that moment the probe prints one line and ends the process at once (its
// shut-down is not part of the start-up):
//   first_frame_ns <CLOCK_MONOTONIC in ns> cpu_us <CPU time> rss_kb <resident memory in kB>
// (the CPU time of all the process's threads so far, user and system: a
// figure that a busy machine disturbs less than the wall time).

#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/resource.h>

class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

    // Resident memory of this process in kB, from /proc/self/status.
    static long ResidentKb() {
        long kb = 0;
        if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status) != nullptr) {
                if (std::strncmp(line, "VmRSS:", 6) == 0) {
                    kb = std::strtol(line + 6, nullptr, 10);
                    break;
                }
            }
            std::fclose(status);
        }
        return kb;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this, [] { Report(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void Report() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                              usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
        std::printf("first_frame_ns %lld cpu_us %lld rss_kb %ld\n", ns, cpu, ResidentKb());
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool seen_ = false;
};
