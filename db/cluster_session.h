// A programme server may be a node of a MariaDB Galera cluster: every node takes writes, and
// each applies what the others committed a moment after they did. A read on one node that
// follows a save committed on another must wait until its node has applied that save, or it
// shows the programme as it was: the session setting `wsrep_sync_wait` makes every read (and the
// start of every transaction) wait so. It is set only on a node; a plain server is asked nothing
// more than once.
//
// The program asks once, at its first programme connection, whether the server is such a node
// (`@@global.wsrep_on` reads 1 there, 0 on a plain MariaDB; MySQL and servers built without
// Galera do not know the variable). From then on each programme connection to a node carries the
// setting in its connect, so that a connection the library opens again after a lost one carries
// it too. The ticketing connection reads a replica as it reads a server: it is never asked.
#pragma once

#include <functional>

struct st_mysql;

namespace db {

inline constexpr const char* kClusterNodeQuestion = "SELECT @@global.wsrep_on";
inline constexpr const char* kCausalReadsSetting = "SET SESSION wsrep_sync_wait = 1";
// The server's refusal of a variable it does not know.
inline constexpr unsigned kUnknownSystemVariable = 1193;

enum class ServerKind { Unknown, Plain, ClusterNode };

// What the question's outcome says: its one value when it was answered, otherwise the server's
// error number (0: no answer came at all). Unknown asks again at the next connection.
ServerKind serverKindFromAnswer(bool answered, const char* value, unsigned errorNumber);

// What the program has learned of the programme server (Unknown until a connection asked).
ServerKind programmeServerKind();
// The next programme connection asks again (tests).
void forgetProgrammeServerKind();

// Before connecting: a connection to a known node carries the setting.
void prepareProgrammeSession(st_mysql* handle);
// Once connected: when the kind is not known yet, asks the question on this connection, and on
// a node makes the setting on it (and on the connections the library opens again for it).
// Shows nothing and leaves the last error text alone: a server that cannot answer is asked
// again next time.
void learnProgrammeServer(st_mysql* handle);

// Tests: runs on a node's connection between its answer and the setting (a test cuts the
// link there).
std::function<void(st_mysql*)>& beforeCausalReadsSetting();

}  // namespace db
