// A connection of its own that the manager keeps open while it is open, for one question
// every few seconds: has anything changed since the lists were loaded? Unlike the units of
// work, it stays open between questions, so that each question costs the link one round trip
// and no handshake. It never shows a box: a server out of reach is simply asked again later.
#pragma once

#include <optional>
#include <string>

struct st_mysql;

namespace db {

class ProgrammeWatch {
public:
    ProgrammeWatch() = default;
    ~ProgrammeWatch();
    ProgrammeWatch(const ProgrammeWatch&) = delete;
    ProgrammeWatch& operator=(const ProgrammeWatch&) = delete;

    // The first row of the statement, its columns joined by "/"; nullopt when the server cannot
    // be reached or refuses (the connection is then closed and opened again next time).
    std::optional<std::string> firstRow(const std::string& statement);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

private:
    st_mysql* handle_ = nullptr;
};

}  // namespace db
