#include "db/own_connection.h"

#include <mysql.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace db {

void prepareLibraryForThreads() { mysql_library_init(0, nullptr, nullptr); }

LibraryThread::LibraryThread() { mysql_thread_init(); }

LibraryThread::~LibraryThread() { mysql_thread_end(); }

int OwnConnection::open(const ConnectionSettings& settings, QString& failure) {
    if (handle_ && wholeReads_ == settings.wholeReads) return 0;
    close();
    if (cancelled_) {
        failure = QString::fromUtf8(kConnectFailedFormat).arg(QStringLiteral("cancelled"));
        return -2;
    }
    st_mysql* opened = nullptr;
    const int rc = openQuietly(opened, settings, &failure);
    const std::lock_guard lock(handleMutex_);
    handle_ = opened;
    wholeReads_ = settings.wholeReads;
    return rc;
}

void OwnConnection::close() {
    st_mysql* closing = nullptr;
    {
        const std::lock_guard lock(handleMutex_);
        std::swap(closing, handle_);
    }
    if (closing) mysql_close(closing);
}

void OwnConnection::cancel() {
    const std::lock_guard lock(handleMutex_);
    cancelled_ = true;
    if (!handle_) return;
    const my_socket socket = mysql_get_socket(handle_);
#ifdef _WIN32
    if (socket != INVALID_SOCKET) ::shutdown(socket, SD_BOTH);
#else
    if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
#endif
}

int32_t OwnConnection::run(std::string_view statement, RowCallback callback, void* context, OwnRunReport& report) {
    if (cancelled_) {
        report = OwnRunReport();
        report.errorText = "cancelled";
        return kQueryRefused;
    }
    return QueryRunner(handle_, statement, callback, context, report, &cancelled_);
}

bool endOnServer(const ConnectionSettings& settings, unsigned long serverThreadId) {
    if (serverThreadId == 0) return false;
    st_mysql* side = nullptr;
    if (openQuietly(side, settings) != 0) return false;
    const std::string kill = "KILL " + std::to_string(serverThreadId);
    const bool done = mysql_real_query(side, kill.data(), kill.size()) == 0;
    mysql_close(side);
    return done;
}

unsigned long OwnConnection::serverThreadId() const { return handle_ ? mysql_thread_id(handle_) : 0; }

}  // namespace db
