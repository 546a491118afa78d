// A connection that a worker thread opens for itself, with the settings and options of the
// program-wide ones, and runs statements on without touching what the user-interface thread
// owns (message boxes, the last error text, the debug output).
#pragma once

#include <QString>
#include <atomic>
#include <mutex>
#include <string_view>

#include "db/connections.h"
#include "db/query_runner.h"

namespace db {

// Readies the client library for use from several threads; called on the user-interface
// thread before a worker starts (the library's own start is not safe to race).
void prepareLibraryForThreads();

// While it lives, the thread that made it may call the client library.
class LibraryThread {
public:
    LibraryThread();
    ~LibraryThread();
    LibraryThread(const LibraryThread&) = delete;
    LibraryThread& operator=(const LibraryThread&) = delete;
};

class OwnConnection {
public:
    OwnConnection() = default;
    ~OwnConnection() { close(); }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;

    // Opens the connection unless it is open for the same use (checks or whole reads, whose
    // timeouts differ): 0, or -1 / -2 with the text of the message the program-wide
    // connection would have shown in `failure`.
    int open(const ConnectionSettings& settings, QString& failure);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    // The server's id for this connection (a test kills it by that id); 0 when closed.
    unsigned long serverThreadId() const;

    // From any thread: the statement under way ends at once, its socket shut, and nothing is
    // sent on this connection any more. The server may still run it; see endOnServer().
    void cancel();
    bool cancelled() const { return cancelled_; }

    int32_t run(std::string_view statement, RowCallback callback, void* context, OwnRunReport& report);

private:
    st_mysql* handle_ = nullptr;
    bool wholeReads_ = false;
    std::atomic<bool> cancelled_{false};
    std::mutex handleMutex_;  // between the owner's open and close and another thread's cancel
};

// Ends the server's thread `serverThreadId` from a connection of its own (a statement left
// waiting there after its read timed out would otherwise wait on, one more at every refresh):
// true when the server took the order.
bool endOnServer(const ConnectionSettings& settings, unsigned long serverThreadId);

// Error numbers of the client library itself (2000 and up) say that the server could not be
// reached or the link broke; the server's own (below 2000) say that it refused a statement.
inline bool isLinkFailure(unsigned errorNumber) { return errorNumber >= 2000 && errorNumber < 3000; }

}  // namespace db
