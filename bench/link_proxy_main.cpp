// The emulated hosted link as a program of its own, to run the program (or anything else)
// through it by hand:
//   brelo_link_proxy LISTEN_PORT TARGET_PORT [DELAY_MS_EACH_WAY [MBIT_PER_S]]
// (defaults 20 ms and 50 Mbit/s). Every ten seconds with traffic it prints what crossed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/link_proxy.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LISTEN_PORT TARGET_PORT [DELAY_MS [MBIT_PER_S]]\n", argv[0]);
        return 2;
    }
    bench::LinkShape shape;
    if (argc > 3) shape.delayMs = std::atof(argv[3]);
    if (argc > 4) shape.bitsPerSecond = std::atof(argv[4]) * 1e6;
    bench::LinkProxy proxy(static_cast<uint16_t>(std::atoi(argv[1])), static_cast<uint16_t>(std::atoi(argv[2])), shape);
    std::printf("127.0.0.1:%u -> 127.0.0.1:%s, %.0f ms each way, %.0f Mbit/s\n", proxy.port(), argv[2], shape.delayMs,
                shape.bitsPerSecond / 1e6);
    std::fflush(stdout);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const auto exchanges = proxy.exchanges();
        if (exchanges.empty()) continue;
        std::printf("%zu round trips, %llu bytes down, %llu up\n", exchanges.size(),
                    static_cast<unsigned long long>(proxy.bytesDown()),
                    static_cast<unsigned long long>(proxy.bytesUp()));
        std::fflush(stdout);
        proxy.reset();
    }
}
