#include "bench/link_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

int listenOn(uint16_t port, uint16_t& bound) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("the link proxy cannot listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    bound = ntohs(addr.sin_port);
    return fd;
}

int connectTo(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void noDelay(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

// One direction of one connection: a reader that stamps each chunk with the time it leaves
// the far end of the link (after the chunks before it, at the link's rate, then the delay),
// and a writer that hands it on at that time.
class Pipe {
public:
    Pipe(int from, int to, LinkShape shape, LinkProxy& proxy, bool down, std::atomic<bool>& cut)
        : from_(from), to_(to), shape_(shape), proxy_(proxy), down_(down), cut_(cut) {
        reader_ = std::thread([this] { read(); });
        writer_ = std::thread([this] { write(); });
    }
    ~Pipe() {
        reader_.join();
        writer_.join();
    }

private:
    struct Chunk {
        Clock::time_point at;
        std::vector<char> bytes;
    };

    void read() {
        Clock::time_point linkFree = Clock::now();
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            const ssize_t n = ::recv(from_, buffer.data(), buffer.size(), 0);
            if (n <= 0) break;
            if (down_ && proxy_.takeAnswerCut()) {
                cutClient();
                break;
            }
            const auto now = Clock::now();
            const auto onTheWire = std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(static_cast<double>(n) * 8.0 / shape_.bitsPerSecond));
            linkFree = std::max(linkFree, now) + onTheWire;
            const auto at = linkFree + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double, std::milli>(shape_.delayMs));
            if (down_)
                proxy_.countDown(static_cast<uint64_t>(n));
            else
                proxy_.countUp(static_cast<uint64_t>(n));
            {
                std::lock_guard lock(mutex_);
                queue_.push_back({at, std::vector<char>(buffer.begin(), buffer.begin() + n)});
            }
            ready_.notify_one();
        }
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        ready_.notify_one();
    }

    void write() {
        for (;;) {
            Chunk chunk;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return ended_ || !queue_.empty(); });
                if (queue_.empty()) break;
                chunk = std::move(queue_.front());
                queue_.pop_front();
            }
            std::this_thread::sleep_until(chunk.at);
            std::size_t sent = 0;
            while (sent < chunk.bytes.size()) {
                const ssize_t n = ::send(to_, chunk.bytes.data() + sent, chunk.bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
        }
        // The server's side stays open after a cut: the server learns of nothing.
        if (!cut_ || down_) ::shutdown(to_, SHUT_WR);
        finished_ += 1;
    }

public:
    // Closes the client's side of the connection; the server's stays open.
    void cutClient() {
        cut_ = true;
        ::shutdown(down_ ? to_ : from_, SHUT_RDWR);
    }
    bool finished() const { return finished_ == 1; }

private:
    int from_;
    int to_;
    LinkShape shape_;
    LinkProxy& proxy_;
    bool down_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Chunk> queue_;
    bool ended_ = false;
    std::atomic<bool>& cut_;
    std::atomic<int> finished_{0};
    std::thread reader_;
    std::thread writer_;
};

// Closed once both pipes have stopped using them.
struct Sockets {
    int client;
    int server;
    ~Sockets() {
        ::close(client);
        ::close(server);
    }
};

struct LinkProxy::Connection {
    Connection(int client, int server, LinkShape shape, LinkProxy& proxy)
        : sockets{client, server},
          up(client, server, shape, proxy, false, cutFlag),
          down(server, client, shape, proxy, true, cutFlag) {}
    ~Connection() {
        ::shutdown(sockets.client, SHUT_RDWR);
        ::shutdown(sockets.server, SHUT_RDWR);
    }
    void cut() {
        if (cutFlag) return;
        cutAt = Clock::now();
        down.cutClient();
    }
    // A server notices a dead link only after a while (TCP keep-alive): the server's side of a
    // cut connection is closed some seconds after the cut.
    bool over(Clock::time_point now) {
        if (cutFlag && cutAt == Clock::time_point{}) cutAt = now;
        if (cutFlag && now - cutAt > std::chrono::seconds(3)) ::shutdown(sockets.server, SHUT_RDWR);
        return up.finished() && down.finished();
    }
    std::atomic<bool> cutFlag{false};
    Clock::time_point cutAt{};
    Sockets sockets;
    Pipe up;
    Pipe down;
};

LinkProxy::LinkProxy(uint16_t listenPort, uint16_t targetPort, LinkShape shape) : shape_(shape), target_(targetPort) {
    listener_ = listenOn(listenPort, port_);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LinkProxy::~LinkProxy() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    acceptor_.join();
    open_.clear();
}

void LinkProxy::acceptLoop() {
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        {
            // Connections over are let go: a long run opens thousands.
            std::vector<std::unique_ptr<Connection>> over;
            {
                std::lock_guard lock(mutex_);
                const auto now = Clock::now();
                for (auto it = open_.begin(); it != open_.end();) {
                    if ((*it)->over(now)) {
                        over.push_back(std::move(*it));
                        it = open_.erase(it);
                    } else {
                        ++it;
                    }
                }
            }
        }
        if (ready <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        if (refuseNew_) {
            ::close(client);
            continue;
        }
        const int server = connectTo(target_);
        if (server < 0) {
            ::close(client);
            continue;
        }
        noDelay(client);
        noDelay(server);
        ++connections_;
        std::lock_guard lock(mutex_);
        open_.push_back(std::make_unique<Connection>(client, server, shape_, *this));
    }
}

void LinkProxy::countUp(uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (lastWasDown_ || exchanges_.empty()) exchanges_.push_back({});
    exchanges_.back().up += bytes;
    lastWasDown_ = false;
}

void LinkProxy::countDown(uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (exchanges_.empty()) exchanges_.push_back({});
    exchanges_.back().down += bytes;
    lastWasDown_ = true;
}

std::vector<Exchange> LinkProxy::exchanges() const {
    std::lock_guard lock(mutex_);
    return exchanges_;
}

uint64_t LinkProxy::bytesDown() const {
    uint64_t n = 0;
    for (const Exchange& e : exchanges()) n += e.down;
    return n;
}

uint64_t LinkProxy::bytesUp() const {
    uint64_t n = 0;
    for (const Exchange& e : exchanges()) n += e.up;
    return n;
}

void LinkProxy::cutAll() {
    std::lock_guard lock(mutex_);
    for (auto& c : open_) {
        if (c->cutFlag) continue;
        c->cut();
        ++cuts_;
    }
}

bool LinkProxy::cutOne(unsigned pick) {
    std::lock_guard lock(mutex_);
    std::vector<Connection*> live;
    for (auto& c : open_)
        if (!c->cutFlag) live.push_back(c.get());
    if (live.empty()) return false;
    live[pick % live.size()]->cut();
    ++cuts_;
    return true;
}

void LinkProxy::cutAtNextAnswer() { cutAtAnswer_ = true; }

bool LinkProxy::takeAnswerCut() {
    bool expected = true;
    if (!cutAtAnswer_.compare_exchange_strong(expected, false)) return false;
    ++cuts_;
    return true;
}

void LinkProxy::reset() {
    std::lock_guard lock(mutex_);
    exchanges_.clear();
    lastWasDown_ = true;
}

}  // namespace bench
