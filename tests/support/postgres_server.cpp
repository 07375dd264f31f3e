#include "tests/support/postgres_server.h"

#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/loopback_port.h"

namespace fw::test {

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The postmaster's pid, from the first line of its pid file; 0 when none.
pid_t postmasterOf(const std::string& data) {
    std::ifstream in(data + "/postmaster.pid");
    long pid = 0;
    in >> pid;
    return pid_t(pid);
}

// Servers left by a test process that died (killed at a timeout, before its
// destructors ran): stopped, their folders removed.
void sweepLeftovers() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/tmp", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("fw_pg_", 0) != 0) continue;
        long owner = 0;
        std::ifstream(entry.path() / "owner") >> owner;
        if (owner <= 0 || ::kill(pid_t(owner), 0) == 0) continue;
        if (const pid_t pg = postmasterOf((entry.path() / "data").string()); pg > 0) ::kill(pg, SIGQUIT);
        fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

PostgresServer::PostgresServer(bool durable) {
    sweepLeftovers();
    char pattern[] = "/tmp/fw_pg_XXXXXX";
    if (!::mkdtemp(pattern)) {
        why_ = "cannot make a folder under /tmp";
        return;
    }
    folder_ = pattern;
    std::ofstream(folder_ + "/owner") << ::getpid() << '\n';
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (!pw || ::chown(folder_.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
            why_ = "no user 'postgres' to run the server as (Debian's postgresql package makes it)";
            return;
        }
    }
    const std::string data = folder_ + "/data";
    if (!runAsServerUser("'" + bin_ + "/initdb' -D '" + data + "' -A trust -U postgres -E UTF8 --locale=C --no-sync")) {
        why_ = "initdb failed: " + readAll(folder_ + "/server.log");
        return;
    }
    port_ = freeLoopbackPort();
    durable_ = durable;
    start();
}

bool PostgresServer::restart() {
    stop();
    // An immediate shutdown may leave the pid file, "ready" and all.
    std::remove((folder_ + "/data/postmaster.pid").c_str());
    ready_ = false;
    start();
    return ready_;
}

void PostgresServer::start() {
    const std::string data = folder_ + "/data";
    std::vector<std::string> args = {bin_ + "/postgres", "-D", data, "-k", folder_, "-p", std::to_string(port_),
                                     "-c", "listen_addresses=127.0.0.1"};
    if (!durable_) {
        args.insert(args.end(), {"-c", "fsync=off"});
    }
    if (::geteuid() == 0) args.insert(args.begin(), {"runuser", "-u", "postgres", "--"});
    const std::string log = folder_ + "/server.log";
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        if (!std::freopen(log.c_str(), "a", stdout) || !std::freopen(log.c_str(), "a", stderr)) ::_exit(126);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    // Ready when its pid file says so (its last line: "ready").
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < until) {
        if (readAll(data + "/postmaster.pid").find("ready") != std::string::npos) {
            ready_ = true;
            return;
        }
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    why_ = "the server did not start: " + readAll(log);
}

PostgresServer::~PostgresServer() {
    stop();
    if (!folder_.empty()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
}

void PostgresServer::stop() {
    if (pid_ <= 0) return;
    // Immediate shutdown: nothing of a test's server needs keeping.
    if (const pid_t pg = postmasterOf(folder_ + "/data"); pg > 0) ::kill(pg, SIGQUIT);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (const pid_t pg = postmasterOf(folder_ + "/data"); pg > 0) ::kill(pg, SIGKILL);
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

bool PostgresServer::runAsServerUser(const std::string& command) {
    const std::string line = command + " >>'" + folder_ + "/server.log' 2>&1";
    std::string shell;
    if (::geteuid() == 0) {
        // The command goes to sh -c inside single quotes: its own quotes closed and reopened.
        std::string quoted;
        for (char c : line) {
            if (c == '\'') quoted += "'\\''";
            else quoted += c;
        }
        shell = "runuser -u postgres -- sh -c '" + quoted + "'";
    } else {
        shell = line;
    }
    return std::system(shell.c_str()) == 0;
}

std::string PostgresServer::createDatabase(const std::string& name) {
    if (!ready_ || !runAsServerUser("'" + bin_ + "/createdb' -h '" + folder_ + "' -p " + std::to_string(port_) +
                                    " -U postgres " + name)) {
        return {};
    }
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + name;
}

std::string PostgresServer::query(const std::string& name, const std::string& sql) {
    const std::string in = folder_ + "/query.sql";
    const std::string out = folder_ + "/query.out";
    std::ofstream(in) << sql << '\n';
    ::chmod(in.c_str(), 0644);
    std::remove(out.c_str());
    runAsServerUser("'" + bin_ + "/psql' -X -q -At -h '" + folder_ + "' -p " + std::to_string(port_) + " -U postgres -d " + name +
                    " -f '" + in + "' -o '" + out + "'");
    return readAll(out);
}

}  // namespace fw::test
