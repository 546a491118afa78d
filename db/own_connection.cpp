#include "db/own_connection.h"

#include <mysql.h>

namespace db {

void prepareLibraryForThreads() { mysql_library_init(0, nullptr, nullptr); }

LibraryThread::LibraryThread() { mysql_thread_init(); }

LibraryThread::~LibraryThread() { mysql_thread_end(); }

int OwnConnection::open(const ConnectionSettings& settings, QString& failure) {
    if (handle_) return 0;
    return openQuietly(handle_, settings, &failure);
}

void OwnConnection::close() {
    if (handle_) mysql_close(handle_);
    handle_ = nullptr;
}

unsigned long OwnConnection::serverThreadId() const { return handle_ ? mysql_thread_id(handle_) : 0; }

}  // namespace db
