// Starts the build's cluster as the test command's cluster pass does, but only once every port
// of its three nodes is held by a closed client connection waiting out its minute (TIME-WAIT):
// the state a fresh machine's first run left them in when the tests' own connections had been
// given those ports. Nothing may be reserved for them, or the start would prove nothing. The
// ports are held as a client holds them: the socket bound to the port without SO_REUSEADDR,
// connected to a listener of its own, closed first.
//
//   start_cluster_ports_held LOCALDB_SCRIPT BUILD_DIR
//
// Exits 0 once the cluster is up and each node answers on its client port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

sockaddr_in loopback(unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool bindTo(int socket, unsigned port) {
    const sockaddr_in address = loopback(port);
    return bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::vector<unsigned> lines(const std::string& command) {
    std::vector<unsigned> ports;
    FILE* out = popen(command.c_str(), "r");
    if (!out) return ports;
    char line[64];
    while (std::fgets(line, sizeof line, out)) ports.push_back(static_cast<unsigned>(std::strtoul(line, nullptr, 10)));
    pclose(out);
    return ports;
}

// Whether the system keeps the port out of the client range ("1,5-10" in the list).
bool reserved(unsigned port) {
    std::ifstream file("/proc/sys/net/ipv4/ip_local_reserved_ports");
    std::string range;
    while (std::getline(file, range, ',')) {
        if (range.empty()) continue;
        const unsigned long low = std::strtoul(range.c_str(), nullptr, 10);
        const std::size_t dash = range.find('-');
        const unsigned long high =
            dash == std::string::npos ? low : std::strtoul(range.c_str() + dash + 1, nullptr, 10);
        if (port >= low && port <= high) return true;
    }
    return false;
}

// A client's socket bound to the port. The connections a stopped node closed may still hold it
// for their minute (they do not keep a server from listening, but they do a client): waited out.
int clientOn(unsigned port) {
    for (int tenth = 0; tenth < 650; ++tenth) {
        const int client = socket(AF_INET, SOCK_STREAM, 0);
        if (bindTo(client, port)) return client;
        close(client);
        if (errno != EADDRINUSE) break;
        usleep(100000);
    }
    std::fprintf(stderr, "cannot bind a client socket to port %u: %s\n", port, std::strerror(errno));
    std::exit(1);
}

// A client connection from the port to a listener of its own, closed from the client side.
void holdInTimeWait(unsigned port) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    socklen_t length = sizeof(sockaddr_in);
    sockaddr_in address{};
    if (!bindTo(listener, 0) || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("listener");
        std::exit(1);
    }
    const int client = clientOn(port);
    if (connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    const int accepted = accept(listener, nullptr, nullptr);
    close(client);
    usleep(20000);
    close(accepted);
    close(listener);
}

// What a server finds: it cannot listen on the port.
bool held(unsigned port) {
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool refused = !bindTo(server, port) && errno == EADDRINUSE;
    close(server);
    return refused;
}

bool answers(unsigned port) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool connected = connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: start_cluster_ports_held LOCALDB_SCRIPT BUILD_DIR\n");
        return 2;
    }
    const std::string script = std::string("'") + argv[1] + "' ";
    const std::string build = std::string(" '") + argv[2] + "'";
    if (std::system((script + "cluster-stop" + build + " >/dev/null").c_str()) != 0) return 1;
    const std::vector<unsigned> ports = lines(script + "cluster-ports" + build + " --all");
    if (ports.size() != 12) {
        std::fprintf(stderr, "expected the 12 ports of the three nodes, read %zu\n", ports.size());
        return 1;
    }
    for (unsigned port : ports) {
        if (reserved(port)) {
            std::fprintf(stderr, "port %u is reserved (ip_local_reserved_ports): the start would prove nothing\n",
                         port);
            return 1;
        }
        holdInTimeWait(port);
    }
    for (unsigned port : ports) {
        if (!held(port)) {
            std::fprintf(stderr, "port %u is not held: the start would prove nothing\n", port);
            return 1;
        }
    }
    std::printf("the 12 ports of the nodes held by closed client connections, none reserved\n");
    std::fflush(stdout);
    if (std::system((script + "cluster" + build).c_str()) != 0) return 1;
    for (unsigned port : lines(script + "cluster-ports" + build + " | tr , '\\n'")) {
        if (!answers(port)) {
            std::fprintf(stderr, "no node answers on port %u\n", port);
            return 1;
        }
    }
    return 0;
}
