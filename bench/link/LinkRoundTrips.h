#pragma once
// Round trips of VminRead requests to a KX-RD4 on the Linux hidraw back end:
// through the tool's own path (the back end, the HID controller, SendReport to
// the selected device, the reader thread and the blocking hand-over to the
// calling thread, which plays the user-interface thread), and as a plain loop
// on the same hidraw node (write, poll, read on one thread). Each round trip
// is timed from just before the request is written to the start of the data
// handler (or the end of the read). Used by kxrd4-bench-link and the kernel
// test.

#include <string>
#include <vector>

class LinkRoundTrips {
public:
    struct Figures {
        double median = 0; // µs
        double p99 = 0;    // µs
    };

    // count round trips through the tool's path to the KX-RD4 the link
    // selects (waiting up to 10 s for one to appear); us gets each round
    // trip, path the device's node. False with error set on failure.
    static bool Link(int count, std::vector<double>& us, std::string& path, std::string& error);
    // The same on the bare node at path.
    static bool Plain(int count, const std::string& path, std::vector<double>& us,
                      std::string& error);
    // The design's floor: the same plain loop, but a second thread waits for
    // the replies and hands each to the calling thread, blocking until it has
    // been taken (a bare blocking hand-over with nothing around it).
    static bool PlainHandedOver(int count, const std::string& path, std::vector<double>& us,
                                std::string& error);
    static Figures Summarise(std::vector<double> us);

    // Both, in alternating blocks (link, plain, link, ...) of count / rounds
    // round trips each, so that a machine whose speed drifts during the run
    // affects both alike; link and plain get every round trip of their kind.
    static bool Compare(int count, int rounds, std::vector<double>& link,
                        std::vector<double>& plain, std::string& path, std::string& error);
};
