// multi_port_benchmark: fwxtool downloading one program to eight fake
// terminals at once, each on its own pty paced at 115,200 bps, against the
// same download to one terminal alone; then again with two of the eight
// failing (one silent, one refusing a block every time). Not a test: it
// prints wall times, their ratio and fwxtool's CPU time (the process runs
// apart from the fake terminals, so its CPU is its own).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "tests/support/fake_terminal.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using fw::test::FakeTerminal;
using fw::test::TerminalScript;

struct Run {
    int status = -1;
    double wall = 0;
    double cpu = 0;
    nlohmann::json summary;
};

Run fwxtool(const std::vector<std::string>& args, const std::string& outFile) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) return run;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outFile);
    run.summary = nlohmann::json::parse(in, nullptr, false);
    return run;
}

std::string ports(const std::vector<std::unique_ptr<FakeTerminal>>& list) {
    std::string s;
    for (const auto& t : list) s += (s.empty() ? "" : ",") + t->path();
    return s;
}

std::vector<std::unique_ptr<FakeTerminal>> terminals(std::vector<TerminalScript> scripts) {
    std::vector<std::unique_ptr<FakeTerminal>> list;
    for (TerminalScript& s : scripts) {
        s.paceBaud = 115200;
        list.push_back(std::make_unique<FakeTerminal>(s));
    }
    return list;
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / "fw_multi_port_benchmark";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string file = (dir / "prog.FWX").string();
    {
        auto defaults = std::make_unique<fw::DefaultTexts>();
        fw::loadDefaultTexts(*defaults);
        auto m = std::make_unique<fw::ProgramModel>();
        fw::newProgram(*m, *defaults);
        fw::saveProgram(*m, file);
    }
    const std::string out = (dir / "summary.json").string();

    auto one = terminals({TerminalScript{}});
    const Run single = fwxtool({FWXTOOL_PATH, "download", "--json", ports(one), file}, out);
    std::printf("one port:   status %d, %.3f s wall, %.3f s CPU (%.1f %% of a core)\n", single.status,
                single.wall, single.cpu, 100 * single.cpu / single.wall);

    auto eight = terminals(std::vector<TerminalScript>(8));
    const Run all = fwxtool({FWXTOOL_PATH, "download", "--json", ports(eight), file}, out);
    std::printf("eight ports: status %d, %.3f s wall = %.2f x one port, %.3f s CPU (%.1f %% of a core)\n",
                all.status, all.wall, all.wall / single.wall, all.cpu, 100 * all.cpu / all.wall);

    std::vector<TerminalScript> scripts(8);
    scripts[2].ignoreOpenings = -1;   // silent
    scripts[5].nakFrame = 20;         // refuses block 20 every time
    scripts[5].nakTimes = 1000000;
    auto mixed = terminals(scripts);
    const Run failing = fwxtool({FWXTOOL_PATH, "download", "--json", ports(mixed), file}, out);
    double slowestGood = 0;
    int good = 0;
    if (failing.summary.is_object()) {
        for (const auto& p : failing.summary["ports"]) {
            if (p["state"] != "succeeded") {
                std::printf("  %s: %s after %.3f s\n", p["port"].get<std::string>().c_str(),
                            p["message"].get<std::string>().c_str(), p["seconds"].get<double>());
                continue;
            }
            ++good;
            slowestGood = std::max(slowestGood, p["seconds"].get<double>());
        }
    }
    std::printf("eight ports, two failing: status %d, %d succeeded, the slowest in %.3f s = %.2f x one "
                "port; %.3f s wall in all, %.3f s CPU (%.1f %% of a core)\n",
                failing.status, good, slowestGood, slowestGood / single.wall, failing.wall, failing.cpu,
                100 * failing.cpu / failing.wall);
    fs::remove_all(dir);
    return 0;
}
