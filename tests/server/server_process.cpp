#include "server_process.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace corvane::server::testing {
namespace {

// Loading the data takes about a second under the sanitizers; leave room for a busy machine.
constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr int kPortsPerServer = 5;

struct TemporaryDirectories {
    std::vector<std::string> paths;
    ~TemporaryDirectories() {
        std::error_code ignored;
        for (const auto& path : paths) std::filesystem::remove_all(path, ignored);
    }
};

// Reads the server's stdout until it says it is ready, collecting its ports.
bool ReadUntilReady(int fd, std::vector<std::uint16_t>* ports, std::string* output) {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    std::string pending;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poll_fd{fd, POLLIN, 0};
        if (poll(&poll_fd, 1, 200) <= 0) continue;
        char chunk[512];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) return false;
        pending.append(chunk, static_cast<std::size_t>(n));
        output->append(chunk, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            const auto colon = line.rfind(':');
            if (line.find("listening on http://") != std::string::npos && colon != std::string::npos) {
                ports->push_back(static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1))));
            }
            if (line.find("ready") != std::string::npos) return true;
        }
    }
    return false;
}

}  // namespace

std::string TemporaryDirectory() {
    static TemporaryDirectories directories;
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-server-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    directories.paths.push_back(pattern);
    return pattern;
}

std::unique_ptr<ServerProcess> ServerProcess::Start(const std::vector<std::string>& extra_args,
                                                    const std::string& keys_db) {
    std::unique_ptr<ServerProcess> server(new ServerProcess());
    const std::string directory = TemporaryDirectory();
    server->keys_db_ = keys_db.empty() ? directory + "/keys.sqlite" : keys_db;
    server->log_path_ = directory + "/server.log";
    std::vector<std::string> args = {CORVANE_SERVER_BINARY, "--address", "127.0.0.1", "--ports",
                                     "0,0,0,0,0", "--threads", "2", "--data",
                                     std::string(CORVANE_SOURCE_DIR) + "/data", "--keys-db", server->keys_db_};
    args.insert(args.end(), extra_args.begin(), extra_args.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) {
        ADD_FAILURE() << "pipe failed";
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, server->log_path_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned = posix_spawn(&server->pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        ADD_FAILURE() << "cannot start " << argv[0];
        server->pid_ = -1;
        return nullptr;
    }
    std::string output;
    const bool ready = ReadUntilReady(out[0], &server->ports_, &output);
    close(out[0]);  // the server's later lines go nowhere; it never writes much there
    if (!ready || server->ports_.size() != kPortsPerServer) {
        ADD_FAILURE() << "the server did not start (is data/ fetched?):\n" << output << server->Log();
        return nullptr;
    }
    return server;
}

ServerProcess::~ServerProcess() {
    if (pid_ <= 0) return;
    Signal(SIGTERM);
    Wait();
}

std::string ServerProcess::Log() const {
    std::ifstream file(log_path_);
    return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ServerProcess::Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
}

int ServerProcess::Wait() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return status;
}

}  // namespace corvane::server::testing
