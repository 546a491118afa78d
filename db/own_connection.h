// A connection that a worker thread opens for itself, with the settings and options of the
// program-wide ones, and runs statements on without touching what the user-interface thread
// owns (message boxes, the last error text, the debug output).
#pragma once

#include <QString>
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

    // Opens the connection unless it is open: 0, or -1 / -2 with the text of the message
    // the program-wide connection would have shown in `failure`.
    int open(const ConnectionSettings& settings, QString& failure);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    // The server's id for this connection (a test kills it by that id); 0 when closed.
    unsigned long serverThreadId() const;

    int32_t run(std::string_view statement, RowCallback callback, void* context, OwnRunReport& report) {
        return QueryRunner(handle_, statement, callback, context, report);
    }

private:
    st_mysql* handle_ = nullptr;
};

// Error numbers of the client library itself (2000 and up) say that the server could not be
// reached or the link broke; the server's own (below 2000) say that it refused a statement.
inline bool isLinkFailure(unsigned errorNumber) { return errorNumber >= 2000 && errorNumber < 3000; }

}  // namespace db
