// The player as a child process driven through its scripted input: what it
// wrote to standard output, its exit status, and a line-by-line
// conversation over standard input.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zelk::testing {

namespace fs = std::filesystem;

// A fresh copy of the packed demo game, its saves beside it; empty when the
// demo game is not packed.
inline fs::path CopyOfDemoGame(const std::string& name) {
    const fs::path packed = fs::path(ZELK_BIN_DIR) / ".." / "games" / "demo";
    if (!fs::exists(packed / "scenario.quor")) return {};
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder / "savedata");
    for (const auto& entry : fs::directory_iterator(packed)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    }
    return folder;
}

struct PlayerRun {
    int status = -1;
    std::vector<std::string> lines;  // standard output
    std::string errors;              // standard error
};

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

inline std::string ReadAll(const fs::path& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

// Runs the player on the folder with the script as its input file.
inline PlayerRun RunScript(const fs::path& folder, const std::string& script,
                           const std::string& environment = "") {
    const fs::path input = folder / "input.txt";
    const fs::path out = folder / "stdout.txt";
    const fs::path err = folder / "stderr.txt";
    if (FILE* file = std::fopen(input.c_str(), "wb")) {
        std::fputs(script.c_str(), file);
        std::fclose(file);
    }
    const std::string command =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS= " + environment +
        " ZELK_INPUT='" + input.string() + "' timeout 60 " ZELK_BIN_DIR "/zelk '" +
        folder.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    PlayerRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.lines = SplitLines(ReadAll(out));
    run.errors = ReadAll(err);
    return run;
}

// The state lines the player wrote, in order.
inline std::vector<std::string> States(const PlayerRun& run) {
    std::vector<std::string> states;
    for (const std::string& line : run.lines)
        if (line.starts_with("state ")) states.push_back(line);
    return states;
}

// A player whose standard input and output are pipes of the test.
class Conversation {
public:
    // `environment` holds further variables for the child ("NAME", "value").
    explicit Conversation(
        const fs::path& folder,
        const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        // A player that ended must show as an empty answer, not end the
        // test with it.
        signal(SIGPIPE, SIG_IGN);
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        mChild = fork();
        if (mChild == 0) {
            // A test that is itself killed must not leave its player running
            // and holding the game's one-player lock.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[1]);
            close(out[0]);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            setenv("ZELK_ANSWERS", "", 1);
            setenv("ZELK_INPUT", "-", 1);
            for (const auto& [name, value] : environment)
                setenv(name.c_str(), value.c_str(), 1);
            execl(ZELK_BIN_DIR "/zelk", "zelk", folder.c_str(), nullptr);
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        mTo = fdopen(in[1], "w");
        mFrom = fdopen(out[0], "r");
    }
    ~Conversation() {
        if (mTo) std::fclose(mTo);
        if (mFrom) std::fclose(mFrom);
        if (mChild > 0 && !mWaited) {
            kill(mChild, SIGKILL);
            waitpid(mChild, nullptr, 0);
        }
    }

    // Sends one command and returns the lines it answered, "ok" or
    // "error ..." last.
    std::vector<std::string> Say(const std::string& line) {
        std::vector<std::string> answer;
        if (!mTo || !mFrom) return answer;
        std::fprintf(mTo, "%s\n", line.c_str());
        std::fflush(mTo);
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, mFrom)) {
            std::string text(buffer);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            answer.push_back(text);
            if (text == "ok" || text.rfind("error", 0) == 0) break;
        }
        return answer;
    }

    // The player's process, for what /proc says of it.
    pid_t Pid() const { return mChild; }

    // Ends the player at once, as a crash or a power cut would. Safe from
    // another thread while Say waits: it reads the end of the output then.
    void Kill() {
        if (mChild > 0 && !mWaited) {
            kill(mChild, SIGKILL);
            waitpid(mChild, nullptr, 0);
            mWaited = true;
        }
    }

    int Wait() {
        int status = 0;
        waitpid(mChild, &status, 0);
        mWaited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t mChild = -1;
    FILE* mTo = nullptr;
    FILE* mFrom = nullptr;
    bool mWaited = false;
};

}  // namespace zelk::testing
