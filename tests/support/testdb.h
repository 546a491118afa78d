// Direct access to the private test server as its administrator, for tests that set up
// tables, break them on purpose or look at what the program wrote.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct st_mysql;

namespace testdb {

using Row = std::vector<std::string>;

// Runs statements (separated by ";" at line ends allowed) on a database; fails the test
// when the server refuses one.
void exec(const std::string& database, const std::string& sql);
// The rows of a query, NULL read as "".
std::vector<Row> query(const std::string& database, const std::string& sql);
// Runs a file of statements (the schema, a demo data set).
void execFile(const std::string& database, const std::string& path);

const std::string& ticketingDb();
const std::string& programmeDb();
// Empties every table of both databases (recreated from the schema files).
void resetAll();
void resetTicketing();
void resetProgramme();
// The source tree, for schema and data files.
std::string sourcePath(const std::string& relative);

// The connection id of the program's current programme or ticketing connection, so that a
// test can kill it from its own session.
void killConnection(unsigned long id);

// A connection of the administrator's own that stays open: what it locks stays locked until
// it says otherwise or closes. It may be handed to another thread once made.
class Session {
public:
    explicit Session(const std::string& database);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    void exec(const std::string& sql);
    std::vector<Row> query(const std::string& sql);

private:
    ::st_mysql* m_;
};

// LOCK TABLES `table` WRITE held by a session of the administrator's own, as maintenance
// holds it, until the object goes or `limit` has passed: code that waits on the lock with no
// limit of its own then fails its test instead of hanging it.
class TableLock {
public:
    TableLock(const std::string& database, const std::string& table, std::chrono::seconds limit);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    Session session_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool done_ = false;
    std::thread thread_;
};

// Stops the private server under the running program, and starts it again on the data it
// held, with its own certificate (the script of the build; each waits until done).
void stopServer();
void serveAgain();
// Stops the server and starts it again on its data with the certificate of another folder, or
// without TLS when `certificates` is "--no-tls"; serveAgain() after stopServer() gives it
// back its own.
void serveWith(const std::string& certificates);

// The build's cluster (scripts/localdb.sh cluster), when the test run has one: the cluster
// passes of the test command set BRELO_CLUSTER. Its nodes' client ports; empty without one.
std::vector<unsigned> clusterPorts();
// Node n (1 to 3) stopped alone, or started again alone (returning once it has caught up).
void stopNode(int n);
void startNode(int n);

// The statement made to wait first until its node has applied every write the cluster committed
// before it, as the program's sessions on a node wait. A colleague's statement on one node that
// changes a row just written on another needs it: run on a node that has not applied that row
// yet, it changes nothing and commits nothing.
std::string causal(const std::string& statement);

// While one lives, the administrator's connections above go to the local server of this
// client port (a node of the cluster) instead of the private server.
class OnServer {
public:
    explicit OnServer(unsigned port);
    ~OnServer();
    OnServer(const OnServer&) = delete;
    OnServer& operator=(const OnServer&) = delete;

private:
    std::string previous_;
};

// Certificates made by the build's script: an authority in a folder (kept when it holds one
// already), and a server certificate in `folder` signed by the authority of `authority`, for
// `name` (a subjectAltName such as "IP:127.0.0.1"), valid `days` days (negative: expired).
void makeAuthority(const std::string& folder);
void makeServerCertificate(const std::string& authority, const std::string& folder, const std::string& name, int days);
// The folder of the build's own authority and server certificate.
std::string buildTlsFolder();

}  // namespace testdb
