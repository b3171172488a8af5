#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace framework {

/// One input as the engine received it, after the shell's translation, so a
/// replay does not depend on the window system.
struct InputEvent {
    enum Kind : char {
        KEY = 'k',          // a = key code, b = 1 down / 0 up
        KEY_RELEASE = 'r',  // a = key code: released if down (focus lost, pointer left)
        MOVE = 'm',         // a, b = pointer position
        WHEEL = 'w',        // a = notches
        TOUCH_BEGAN = 'b',  // a = id, b, c = position
        TOUCH_MOVED = 't',  // a = id, b, c = position
        TOUCH_ENDED = 'e',  // a = id, b, c = position
        TEXT = 'c',         // a = code point or text control code
        ACTIVE = 'a',       // a = 1 active / 0 inactive
    };
    Kind kind;
    int a = 0;
    int b = 0;
    int c = 0;
    bool operator==(const InputEvent& o) const {
        return kind == o.kind && a == o.a && b == o.b && c == o.c;
    }
};

/// The simulated state after a frame: a hash per object, by name, and one
/// over all of them.
struct StateDigest {
    uint64_t total = 0;
    std::map<std::string, uint64_t> objects;

    /// FNV-1a over the bytes, continuing from hash.
    static uint64_t mix(uint64_t hash, const void* data, size_t size);
    static constexpr uint64_t SEED = 14695981039346656037ull;
    /// total from the objects' names and hashes.
    void seal();
};

/// Writes, reads and checks replays: the frame times and the inputs of a
/// session, with the state digest after every frame. The recording names the
/// content it was made with (the scripts and levels), and a replay of other
/// content, another format or another screen size is refused at once.
class ReplaySession {
public:
    static constexpr int FORMAT_VERSION = 1;

    struct Settings {
        std::string recordPath;   // write a recording here
        std::string replayPath;   // play this recording instead of the real input and clock
        std::string hashLogPath;  // each frame's state hash, one line a frame
        std::string contentId;    // what the scripts and levels are (a hash)
        int width = 0;            // the drawable size the session runs at
        int height = 0;
        /// Play a recording of other content anyway, to find where a change
        /// to the scripts or levels first shows; the mismatch is only warned of.
        bool anyContent = false;
    };

    /// Opens the files; throws lang::Exception naming the file and the reason
    /// when one cannot be written, the recording cannot be read or it was made
    /// with another format, content or screen size. A recording whose content
    /// is "any" (written by hand, inputs only) plays with any content.
    explicit ReplaySession(const Settings& settings);
    ~ReplaySession();
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    bool isReplaying() const { return replaying_; }
    bool isRecording() const { return static_cast<bool>(record_); }

    /// An input the shell delivered; kept for the next frame when recording.
    void observe(const InputEvent& event);
    /// Before a frame. Replaying: delivers the frame's recorded inputs and
    /// replaces dt with the recorded frame time; false when the recording has
    /// no frame left. Otherwise keeps dt and returns true.
    bool beginFrame(float& dt, const std::function<void(const InputEvent&)>& deliver);
    /// After a frame, with the state it left. Writes the hash log and the
    /// recording; replaying, compares with the recorded digest and returns
    /// false at the first difference (failure() says where).
    bool endFrame(const StateDigest& digest);
    /// Completes the recording file; called once the session ends.
    void finish();

    int frame() const { return frame_; }
    const std::string& failure() const { return failure_; }

private:
    struct Frame;

    void load(const std::string& path, const Settings& settings);
    void writeFrame(float dt, const StateDigest& digest);
    std::string describeDifference(const std::map<std::string, uint64_t>& recorded,
                                   const StateDigest& now) const;

    bool replaying_ = false;
    std::unique_ptr<std::ofstream> record_;
    std::unique_ptr<std::ofstream> hashLog_;
    std::string recordPath_;
    std::vector<InputEvent> pending_;
    float pendingDt_ = 0;
    std::vector<Frame> frames_;
    int frame_ = 0;
    std::map<std::string, uint64_t> writtenObjects_;  // as the recording last wrote them
    std::map<std::string, uint64_t> replayObjects_;   // as the replayed recording has them
    std::string failure_;
};

/// The session the shell feeds its inputs to; null when none runs.
ReplaySession* activeReplaySession();
void setActiveReplaySession(ReplaySession* session);

}  // namespace framework
