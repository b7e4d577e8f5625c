// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace varnoth {

// Runs the built varnoth-cli as a user would: its output goes to files of a folder of the test's own.

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;  // as a shell gives it: 128 + the signal for a process that a signal ended
    std::string out;
    std::string err;
    bool signalled = false;  // ended by a signal, not by exit
};

inline std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << (o.signalled ? "signal exit " : "exit ") << o.code << "\n--- stdout:\n"
              << o.out << "--- stderr:\n"
              << o.err;
}

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Starts the built varnoth-cli with the arguments, its standard output and error going to the two paths
// (a file, created or emptied, or a device such as /dev/full).
inline pid_t StartWriting(const std::vector<std::string>& args, const fs::path& outPath,
                          const fs::path& errPath) {
    std::vector<char*> argv;
    std::string program = VARNOTH_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

// Starts the built varnoth-cli with the arguments, its output going to files of dir.
inline pid_t Start(const fs::path& dir, const std::vector<std::string>& args) {
    return StartWriting(args, dir / "stdout.txt", dir / "stderr.txt");
}

// Starts it as Start does, with the trace of every report on standard error.
inline pid_t StartTraced(const fs::path& dir, const std::vector<std::string>& args) {
    setenv("VARNOTH_TRACE", "1", 1);
    const pid_t child = Start(dir, args);
    unsetenv("VARNOTH_TRACE");
    return child;
}

// Whether the text of a file of the running program comes to hold `part` within a minute; polled.
inline bool WaitForText(const fs::path& path, const std::string& part) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ReadText(path).find(part) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline Outcome Finish(const fs::path& dir, pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome;
    outcome.signalled = WIFSIGNALED(status);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : outcome.signalled ? 128 + WTERMSIG(status) : -1;
    outcome.out = ReadText(dir / "stdout.txt");
    outcome.err = ReadText(dir / "stderr.txt");
    return outcome;
}

inline Outcome Run(const fs::path& dir, const std::vector<std::string>& args) {
    return Finish(dir, Start(dir, args));
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    Outcome Run(const std::vector<std::string>& args) { return varnoth::Run(dir, args); }
    // A run on the virtual amplifier whose state lives in the test's folder across runs.
    Outcome Sim(std::vector<std::string> args, const std::string& scenario = "normal") {
        args.insert(args.begin(), {"--simulate=" + scenario, "--sim-state", (dir / "amp.state").string()});
        return Run(args);
    }
    std::string File(const std::string& name, std::size_t size, char fill = 1) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << std::string(size, fill);
        return path.string();
    }

    fs::path dir = fs::temp_directory_path() /
                   ("varnoth-cli-" + std::to_string(getpid()) + "-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

}  // namespace varnoth
