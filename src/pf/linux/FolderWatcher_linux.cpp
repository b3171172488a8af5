#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "lang/Exception.h"
#include "pf/FolderWatcher.h"

namespace pf {
namespace {

// What makes a file new or different, and what makes a folder to watch.
const uint32_t EVENTS =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ONLYDIR;

class InotifySource : public FolderWatcher::Source {
public:
    explicit InotifySource(const std::vector<std::string>& roots) : roots_(roots) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            throw lang::Exception(
                lang::Format("Cannot watch the sources: inotify: {0}", std::strerror(errno)));
        }
        std::set<std::string> ignored;
        for (const std::string& root : roots) {
            std::error_code error;
            if (std::filesystem::is_directory(root, error)) {
                watchTree(root, ignored);
            }
        }
    }
    ~InotifySource() override { close(fd_); }

    void read(std::set<std::string>& changed) override {
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t length = ::read(fd_, buffer, sizeof buffer);
            if (length <= 0) {
                return;  // EAGAIN: nothing more for now
            }
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                handle(*event, changed);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    // Watches folder and every folder below it; the files found there go to
    // found, since they may have come before the watch did.
    void watchTree(const std::string& folder, std::set<std::string>& found) {
        const int wd = inotify_add_watch(fd_, folder.c_str(), EVENTS);
        if (wd < 0) {
            return;  // gone again, or not a folder
        }
        folders_[wd] = folder;
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_directory(error)) {
                watchTree(it->path().string(), found);
            } else {
                found.insert(it->path().string());
            }
        }
    }

    void handle(const inotify_event& event, std::set<std::string>& changed) {
        if (event.mask & IN_Q_OVERFLOW) {
            changed.insert(roots_.begin(), roots_.end());  // single changes were lost
            return;
        }
        if (event.mask & IN_IGNORED) {
            folders_.erase(event.wd);
            return;
        }
        auto folder = folders_.find(event.wd);
        if (folder == folders_.end() || event.len == 0) {
            return;
        }
        const std::string path = folder->second + "/" + event.name;
        if ((event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_TO))) {
            watchTree(path, changed);
            return;
        }
        changed.insert(path);
    }

    std::vector<std::string> roots_;
    int fd_ = -1;
    std::map<int, std::string> folders_;  // watch descriptor to folder
};

}  // namespace

std::unique_ptr<FolderWatcher::Source> watchFolders(const std::vector<std::string>& roots) {
    return std::make_unique<InotifySource>(roots);
}

}  // namespace pf
