// A link like a hosted server's, on the loopback address: a TCP proxy that delays every byte
// by a fixed time in each direction and lets through no more than a given rate, counting what
// crosses. The benchmarks put it between the program (or the mariadb client) and the local
// server. The tests use it to cut links as a network does: the client's side closed, the
// server's left open, so that the server goes on with what it received and answers no one.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

struct LinkShape {
    double delayMs = 20.0;        // each way
    double bitsPerSecond = 50e6;  // each way
};

// One request and its answer: what the client sent, then what came back before it sent again.
struct Exchange {
    uint64_t up = 0;
    uint64_t down = 0;
};

class LinkProxy {
public:
    // Listens on 127.0.0.1 (port 0: any free port) and forwards to 127.0.0.1:targetPort.
    LinkProxy(uint16_t listenPort, uint16_t targetPort, LinkShape shape);
    ~LinkProxy();
    LinkProxy(const LinkProxy&) = delete;
    LinkProxy& operator=(const LinkProxy&) = delete;

    uint16_t port() const { return port_; }
    // The exchanges since the last reset, over every connection, in order.
    std::vector<Exchange> exchanges() const;
    uint64_t bytesDown() const;
    uint64_t bytesUp() const;
    int connections() const { return connections_; }
    void reset();

    // Cuts every open connection now.
    void cutAll();
    // Cuts one open connection chosen by `pick` (0 to count - 1); false when none is open.
    bool cutOne(unsigned pick);
    // The next answer the server sends, on any connection, is dropped and that connection cut:
    // what the server did before answering stays done, and the client never hears of it.
    void cutAtNextAnswer();
    int cuts() const { return cuts_; }
    // While on, a new connection is closed at once: the server cannot be reached.
    void refuseNew(bool refuse) { refuseNew_ = refuse; }
    // Called by the answers' pump: whether this answer is the one to drop.
    bool takeAnswerCut();

    // Called by the connections' pumps.
    void countUp(uint64_t bytes);
    void countDown(uint64_t bytes);

private:
    void acceptLoop();
    struct Connection;

    LinkShape shape_;
    int listener_ = -1;
    uint16_t port_ = 0;
    uint16_t target_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> cuts_{0};
    std::atomic<bool> cutAtAnswer_{false};
    std::atomic<bool> refuseNew_{false};
    mutable std::mutex mutex_;
    std::vector<Exchange> exchanges_;
    bool lastWasDown_ = true;
    std::vector<std::unique_ptr<Connection>> open_;
    std::thread acceptor_;
};

}  // namespace bench
