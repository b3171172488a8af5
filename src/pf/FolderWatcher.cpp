#include "pf/FolderWatcher.h"

namespace pf {

FolderWatcher::FolderWatcher(const std::vector<std::string>& roots, int64_t quietMillis)
    : source_(watchFolders(roots)), quietMillis_(quietMillis) {}

FolderWatcher::~FolderWatcher() = default;

std::vector<std::string> FolderWatcher::poll(int64_t nowMillis) {
    std::set<std::string> fresh;
    source_->read(fresh);
    if (!fresh.empty()) {
        pending_.insert(fresh.begin(), fresh.end());
        lastChange_ = nowMillis;
    }
    if (pending_.empty() || nowMillis - lastChange_ < quietMillis_) {
        return {};
    }
    std::vector<std::string> batch(pending_.begin(), pending_.end());
    pending_.clear();
    return batch;
}

}  // namespace pf
