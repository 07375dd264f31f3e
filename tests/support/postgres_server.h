// A PostgreSQL server of Debian's package for one test, in a folder of its
// own under /tmp: a fresh cluster (initdb), its socket in that folder and a
// free TCP port on 127.0.0.1 only, run as the unprivileged `postgres` user
// (through runuser) when the test runs as root, as the test's own user
// otherwise. Stopped and its folder removed when the object goes, even when
// the test failed.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace fw::test {

class PostgresServer {
public:
    // `durable`: fsync on, as a real site runs it (benchmarks); tests go
    // without, since no test pulls the server's power.
    explicit PostgresServer(bool durable = false);
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // It accepts connections; otherwise why() says what went wrong.
    bool ready() const { return ready_; }
    const std::string& why() const { return why_; }

    // A database of its own, made on the server; its URL over TCP
    // ("postgresql://postgres@127.0.0.1:PORT/NAME").
    std::string createDatabase(const std::string& name);
    // psql's answer to `sql` in database `name`, unaligned, without headers.
    std::string query(const std::string& name, const std::string& sql);

    // The server goes down at once, as in a crash, and comes up again on
    // the same port with the same data; false when it did not come up.
    bool restart();

private:
    void start();
    bool runAsServerUser(const std::string& command);
    void stop();

    std::string folder_;
    std::string bin_ = "/usr/lib/postgresql/15/bin";
    uint16_t port_ = 0;
    pid_t pid_ = -1;
    bool durable_ = false;
    bool ready_ = false;
    std::string why_;
};

}  // namespace fw::test
