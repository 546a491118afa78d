// Several statements sent to the programme connection in one packet, their results read in
// order. A save sends its transaction this way: its checks in one packet, its writes with its
// audit line and COMMIT in another. Each statement keeps its own text and its ";", exactly as
// it would travel alone. On a node of a Galera cluster each statement does travel alone (one
// round trip each): a packet there does not stop at a transaction aborted in its middle.
#pragma once

#include <string>
#include <vector>

namespace db {

using BatchRows = std::vector<std::vector<std::string>>;

struct BatchResult {
    // The statement the server refused, or -1 when all ran; the ones after it did not run.
    int failed = -1;
    // The server's error number for it (2013 when the connection was lost; 0 not connected).
    unsigned errorNumber = 0;
    // The rows of each statement that ran (empty for those without rows), NULL read as "".
    std::vector<BatchRows> rows;
    // The id each statement generated (an INSERT into a table with an automatic id), else 0.
    std::vector<unsigned long long> insertIds;
    bool ok() const { return failed < 0; }
};

// Sends the statements on the open programme connection, with the wait cursor. A refused
// statement sets the last error text (and writes the debug lines) as the query runner does;
// a lost connection is never resent here.
BatchResult runBatch(const std::vector<std::string>& statements);

// The text of the statement this thread's last batch refused, for the caller's message when it
// is not the caller that built it (a read made on the way).
const std::string& lastRefusedStatement();

}  // namespace db
