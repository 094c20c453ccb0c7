// kxrd4-bench-link: the latency of the HID link as the tool uses it.
//
//   kxrd4-bench-link [--compare] [--handed-over-floor] N
//
// Sends N VminRead requests one after the other to the KX-RD4 that the link
// selects, each through the tool's own path (LinkRoundTrips.h), and prints
// the median and the 99th percentile of the round trip in µs. With --compare
// it also runs N round trips as a plain write/poll/read loop on the same
// hidraw node, in blocks alternating with the link's (the device released in
// between), and prints the ratio of the medians. With --handed-over-floor it
// also runs the plain loop with a second thread that waits for each reply and
// hands it over, blocking, to the first: the floor of a design with a reader
// thread. Exit status 1 when no KX-RD4 is found or a reply
// does not come within a second.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "LinkRoundTrips.h"

namespace {
constexpr int CompareRounds = 5;
} // namespace

int main(int argc, char** argv) {
    bool compare = false;
    bool floor = false;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--compare") == 0) {
            compare = true;
        } else if (std::strcmp(argv[i], "--handed-over-floor") == 0) {
            floor = true;
        } else {
            count = std::atoi(argv[i]);
        }
    }
    if (count < 1) {
        std::fprintf(stderr, "usage: kxrd4-bench-link [--compare] [--handed-over-floor] N   (N "
                             "round trips, N >= 1)\n");
        return 2;
    }
    std::vector<double> link;
    std::vector<double> plain;
    std::string path;
    std::string error;
    const bool ok = compare
                        ? LinkRoundTrips::Compare(count, CompareRounds, link, plain, path, error)
                        : LinkRoundTrips::Link(count, link, path, error);
    if (!ok) {
        std::fprintf(stderr, "kxrd4-bench-link: %s\n", error.c_str());
        return 1;
    }
    const LinkRoundTrips::Figures linkFigures = LinkRoundTrips::Summarise(link);
    std::printf("link: %d VminRead round trips on %s: median %.1f us, p99 %.1f us\n", count,
                path.c_str(), linkFigures.median, linkFigures.p99);
    if (compare) {
        const LinkRoundTrips::Figures plainFigures = LinkRoundTrips::Summarise(plain);
        std::printf("plain hidraw loop: %d round trips: median %.1f us, p99 %.1f us\n", count,
                    plainFigures.median, plainFigures.p99);
        std::printf("link/plain ratio (median): %.2f (target under 1.3)\n",
                    linkFigures.median / plainFigures.median);
    }
    if (floor) {
        std::vector<double> handed;
        if (!LinkRoundTrips::PlainHandedOver(count, path, handed, error)) {
            std::fprintf(stderr, "kxrd4-bench-link: %s\n", error.c_str());
            return 1;
        }
        const LinkRoundTrips::Figures f = LinkRoundTrips::Summarise(handed);
        std::printf("plain loop with a bare blocking hand-over: %d round trips: median %.1f us, "
                    "p99 %.1f us\n",
                    count, f.median, f.p99);
    }
    std::fflush(stdout);
    return 0;
}
