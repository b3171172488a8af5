#include <algorithm>
#include <vector>

#include "pf/VideoPlayer.h"

namespace pf {

class VideoPlayer::Impl : public lang::Object {
public:
    struct Item {
        std::string path;
        int kind;
    };
    std::vector<Item> playlist;
    size_t position = 0;
    bool loop = false;
    std::vector<VideoPlayerListener*> listeners;

    // No video decoder on this platform.
    bool open(const Item&) { return false; }
};

VideoPlayer::VideoPlayer() : impl_(new Impl) {}
VideoPlayer::~VideoPlayer() = default;

void VideoPlayer::addItem(const std::string& path, int kind) {
    impl_->playlist.push_back({path, kind});
}

void VideoPlayer::clear() {
    impl_->playlist.clear();
    impl_->position = 0;
}

int VideoPlayer::getItemCount() const {
    return static_cast<int>(impl_->playlist.size());
}
void VideoPlayer::setLoop(bool loop) {
    impl_->loop = loop;
}

void VideoPlayer::addListener(VideoPlayerListener* listener) {
    auto& list = impl_->listeners;
    if (std::find(list.begin(), list.end(), listener) == list.end()) {
        list.push_back(listener);
    }
}

void VideoPlayer::removeListener(VideoPlayerListener* listener) {
    auto& list = impl_->listeners;
    list.erase(std::remove(list.begin(), list.end(), listener), list.end());
}

bool VideoPlayer::play() {
    impl_->position = 0;
    if (impl_->playlist.empty()) {
        return false;
    }
    return impl_->open(impl_->playlist[0]);
}

void VideoPlayer::stop() {
    impl_->position = 0;
}
bool VideoPlayer::isPlaying() const {
    return false;
}

}  // namespace pf
