#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class VideoPlayerListener {
public:
    virtual void itemStarted(int index) = 0;
    virtual void itemFinished(int index) = 0;
    virtual void playlistFinished() = 0;

protected:
    ~VideoPlayerListener() = default;
};

/// A playlist player. This platform plays no video: opening an item always
/// fails, so play() returns false and no listener is called. Callers treat a
/// false start as a skipped video.
class VideoPlayer : public lang::Object {
public:
    class Impl;

    VideoPlayer();
    ~VideoPlayer() override;

    void addItem(const std::string& path, int kind);
    void clear();
    int getItemCount() const;
    void setLoop(bool loop);

    void addListener(VideoPlayerListener* listener);
    void removeListener(VideoPlayerListener* listener);

    /// Rewinds to the first item and opens it; false when it cannot be played.
    bool play();
    void stop();
    bool isPlaying() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
