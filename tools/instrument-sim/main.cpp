// instrument-sim: runs the OTDR settings-link simulator on 127.0.0.1 until interrupted.
#include "InstrumentSimulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

void usage()
{
    std::fprintf(stderr,
                 "usage: instrument-sim [--port N] [--split N] [--coalesce] [--close-after-reply] [--silent]\n"
                 "  --port N             port on 127.0.0.1 (default 5000, 0 picks a free one)\n"
                 "  --split N            send each reply in N writes\n"
                 "  --coalesce           answer a request with both settings lines in one write\n"
                 "  --close-after-reply  close the connection after the first reply\n"
                 "  --silent             record requests without answering them\n");
}

} // namespace

int main(int argc, char** argv)
{
    long port = 5000;
    instrumentsim::InstrumentSimulator sim;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--port" || arg == "--split") && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 65535) {
                usage();
                return 2;
            }
            if (arg == "--port")
                port = value;
            else
                sim.setSplitReplies(static_cast<int>(value));
        } else if (arg == "--coalesce") {
            sim.setCoalesceReplies(true);
        } else if (arg == "--close-after-reply") {
            sim.setCloseAfterReply(true);
        } else if (arg == "--silent") {
            sim.setSilent(true);
        } else {
            usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    if (!sim.start(static_cast<uint16_t>(port))) {
        std::fprintf(stderr, "instrument-sim: cannot listen on 127.0.0.1:%ld: %s\n", port,
                     std::strerror(errno));
        return 1;
    }
    std::printf("instrument-sim listening on 127.0.0.1:%u\n", sim.port());
    std::fflush(stdout);
    while (!g_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sim.stop();
    return 0;
}
