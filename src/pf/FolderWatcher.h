#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace pf {

/// Tells which files below a few folders were written, created, renamed into
/// place or removed, for the developer's tools that act on edited sources.
/// Changes come in batches: a batch is handed out once no change has come for
/// the quiet time, so an editor's burst of writes (a temporary file, a rename
/// over the old one, a backup) makes one batch. Main thread only; poll never
/// blocks.
class FolderWatcher {
public:
    /// Watches every folder below each of roots, also folders made later; a
    /// root that does not exist is left out. Throws lang::Exception when the
    /// system refuses to watch.
    FolderWatcher(const std::vector<std::string>& roots, int64_t quietMillis);
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    /// The paths changed since the last batch, once the latest change is at
    /// least the quiet time older than nowMillis (any steady clock); empty
    /// before that. A root itself stands for "anything below it" when the
    /// system lost track of single changes.
    std::vector<std::string> poll(int64_t nowMillis);

    /// The platform's source of changes.
    class Source {
    public:
        virtual ~Source() = default;
        /// Adds the paths changed since the last call, without waiting.
        virtual void read(std::set<std::string>& changed) = 0;
    };

private:
    std::unique_ptr<Source> source_;
    int64_t quietMillis_;
    std::set<std::string> pending_;
    int64_t lastChange_ = 0;
};

/// The platform's source of changes below roots (FolderWatcher_linux.cpp).
std::unique_ptr<FolderWatcher::Source> watchFolders(const std::vector<std::string>& roots);

}  // namespace pf
