#pragma once

#include <functional>
#include <string>
#include <thread>

namespace framework {
namespace sdl {

/// Folder and process services of the POSIX side of the shell.
bool changeDirectory(const std::string& path);
std::string workingDirectory();
/// The folder of the running executable, from /proc/self/exe; "" if unknown.
std::string executableFolder();
/// Creates the folder and any missing parents; true when it exists afterwards.
bool makeFolders(const std::string& path);
/// $XDG_RUNTIME_DIR, else /tmp.
std::string runtimeFolder();
/// The per-user data home ($XDG_DATA_HOME or ~/.local/share), "" if unknown.
std::string dataHome();

/// The single-instance rule: an advisory lock on a file. The holder listens on a
/// FIFO beside it so that a second instance can ask it to show its window.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// False when another process holds the lock. A lock that cannot be taken
    /// for another reason does not stop the start.
    bool acquire(const std::string& lockPath);
    /// Calls onRaise on a background thread whenever another instance asks.
    void listen(const std::function<void()>& onRaise);
    /// Asks the holder of lockPath to show its window; nothing if it does not listen.
    static void notifyHolder(const std::string& lockPath);

private:
    void waitForRequests(const std::function<void()>& onRaise);
    void stopListening();

    std::string lockPath_;
    int lockFd_ = -1;
    int fifoFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::thread listener_;
};

}  // namespace sdl
}  // namespace framework
