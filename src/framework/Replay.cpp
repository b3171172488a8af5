#include "framework/Replay.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "lang/Exception.h"
#include "lang/Format.h"

namespace framework {

namespace {

const char* const MAGIC = "quillfire-replay";

std::string hex64(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// Frame times are written as their bits so that a replay gets the same floats.
std::string floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIx32, bits);
    return text;
}

bool parseFloatBits(const std::string& text, float& out) {
    char* end = nullptr;
    const unsigned long bits = std::strtoul(text.c_str(), &end, 16);
    if (text.size() != 8 || *end != '\0') {
        return false;
    }
    const uint32_t word = static_cast<uint32_t>(bits);
    std::memcpy(&out, &word, sizeof out);
    return true;
}

bool parseHex64(const std::string& text, uint64_t& out) {
    char* end = nullptr;
    out = std::strtoull(text.c_str(), &end, 16);
    return text.size() == 16 && *end == '\0';
}

bool isEventKind(char kind) {
    return std::strchr("krmwbteca", kind) != nullptr;
}

lang::Exception badFile(const std::string& path, int line, const std::string& why) {
    return lang::Exception(lang::Format("Replay {0}, line {1}: {2}", path, line, why));
}

}  // namespace

uint64_t StateDigest::mix(uint64_t hash, const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

void StateDigest::seal() {
    uint64_t hash = SEED;
    for (const auto& object : objects) {
        hash = mix(hash, object.first.data(), object.first.size() + 1);
        hash = mix(hash, &object.second, sizeof object.second);
    }
    total = hash;
}

struct ReplaySession::Frame {
    float dt = 0;
    std::vector<InputEvent> events;
    uint64_t total = 0;
    bool hasState = false;
    // Objects whose hash changed since the frame before; no hash: removed.
    std::vector<std::pair<std::string, std::pair<bool, uint64_t>>> changes;
};

namespace {
ReplaySession* active = nullptr;
}

ReplaySession* activeReplaySession() {
    return active;
}

void setActiveReplaySession(ReplaySession* session) {
    active = session;
}

ReplaySession::ReplaySession(const Settings& settings) : recordPath_(settings.recordPath) {
    if (!settings.replayPath.empty()) {
        load(settings.replayPath, settings);
        replaying_ = true;
    }
    if (!settings.hashLogPath.empty()) {
        hashLog_ = std::make_unique<std::ofstream>(settings.hashLogPath);
        if (!*hashLog_) {
            throw lang::Exception(
                lang::Format("Cannot write the hash log {0}", settings.hashLogPath));
        }
    }
    if (!settings.recordPath.empty()) {
        record_ = std::make_unique<std::ofstream>(settings.recordPath);
        if (!*record_) {
            throw lang::Exception(lang::Format("Cannot write the replay {0}", settings.recordPath));
        }
        *record_ << MAGIC << ' ' << FORMAT_VERSION << '\n'
                 << "content " << settings.contentId << '\n'
                 << "screen " << settings.width << ' ' << settings.height << '\n';
    }
}

ReplaySession::~ReplaySession() {
    if (active == this) {
        active = nullptr;
    }
}

void ReplaySession::load(const std::string& path, const Settings& settings) {
    std::ifstream in(path);
    if (!in) {
        throw lang::Exception(lang::Format("Cannot read the replay {0}", path));
    }
    std::string line;
    int number = 0;
    auto next = [&]() {
        ++number;
        return static_cast<bool>(std::getline(in, line));
    };
    std::string magic;
    int version = 0;
    if (!next() || !(std::istringstream(line) >> magic >> version) || magic != MAGIC) {
        throw badFile(path, number, "not a replay file");
    }
    if (version != FORMAT_VERSION) {
        throw badFile(path, number,
                      lang::format("written in format {0}; this engine reads format {1}", version,
                                   FORMAT_VERSION));
    }
    std::string word, content;
    if (!next() || !(std::istringstream(line) >> word >> content) || word != "content") {
        throw badFile(path, number, "the content line is missing");
    }
    if (content != settings.contentId) {
        throw badFile(path, number,
                      lang::format("recorded with other scripts or levels (content {0}, these are "
                                   "{1}); record it again",
                                   content, settings.contentId));
    }
    int width = 0, height = 0;
    if (!next() || !(std::istringstream(line) >> word >> width >> height) || word != "screen") {
        throw badFile(path, number, "the screen line is missing");
    }
    if (width != settings.width || height != settings.height) {
        throw badFile(path, number,
                      lang::format("recorded at {0}x{1}, this window is {2}x{3}", width, height,
                                   settings.width, settings.height));
    }
    int stateLeft = 0;
    while (next()) {
        if (line.empty()) {
            continue;
        }
        if (stateLeft > 0) {
            Frame& frame = frames_.back();
            uint64_t hash = 0;
            if (line.compare(0, 2, "x ") == 0) {
                frame.changes.push_back({line.substr(2), {false, 0}});
            } else if (line.size() > 17 && line[16] == ' ' &&
                       parseHex64(line.substr(0, 16), hash)) {
                frame.changes.push_back({line.substr(17), {true, hash}});
            } else {
                throw badFile(path, number, "an object line was expected");
            }
            --stateLeft;
            continue;
        }
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "f") {
            Frame frame;
            std::string bits;
            if (!(fields >> bits) || !parseFloatBits(bits, frame.dt)) {
                throw badFile(path, number, "a frame needs its time as 8 hexadecimal digits");
            }
            frames_.push_back(std::move(frame));
        } else if (kind == "s") {
            std::string total;
            if (frames_.empty() || !(fields >> total >> stateLeft) ||
                !parseHex64(total, frames_.back().total) || stateLeft < 0) {
                throw badFile(path, number, "a state line needs a frame, a hash and a count");
            }
            frames_.back().hasState = true;
        } else if (kind == "end") {
            break;
        } else if (kind.size() == 1 && isEventKind(kind[0]) && !frames_.empty()) {
            InputEvent event{static_cast<InputEvent::Kind>(kind[0])};
            fields >> event.a >> event.b >> event.c;
            frames_.back().events.push_back(event);
        } else {
            throw badFile(path, number, "unknown line \"" + line + "\"");
        }
    }
    if (stateLeft > 0) {
        throw badFile(path, number, "the file ends inside a frame's state");
    }
}

void ReplaySession::observe(const InputEvent& event) {
    if (record_) {
        pending_.push_back(event);
    }
}

bool ReplaySession::beginFrame(float& dt, const std::function<void(const InputEvent&)>& deliver) {
    if (replaying_) {
        if (frame_ >= static_cast<int>(frames_.size())) {
            return false;
        }
        const Frame& frame = frames_[static_cast<size_t>(frame_)];
        for (const InputEvent& event : frame.events) {
            deliver(event);
        }
        dt = frame.dt;
    }
    pendingDt_ = dt;
    return true;
}

bool ReplaySession::endFrame(const StateDigest& digest) {
    ++frame_;
    if (hashLog_) {
        *hashLog_ << frame_ << ' ' << hex64(digest.total) << '\n';
    }
    if (record_) {
        writeFrame(pendingDt_, digest);
    }
    if (!replaying_) {
        return true;
    }
    const Frame& frame = frames_[static_cast<size_t>(frame_ - 1)];
    if (!frame.hasState) {
        return true;
    }
    for (const auto& change : frame.changes) {
        if (change.second.first) {
            replayObjects_[change.first] = change.second.second;
        } else {
            replayObjects_.erase(change.first);
        }
    }
    if (frame.total == digest.total) {
        return true;
    }
    failure_ = describeDifference(replayObjects_, digest);
    return false;
}

void ReplaySession::writeFrame(float dt, const StateDigest& digest) {
    std::ofstream& out = *record_;
    out << "f " << floatBits(dt) << '\n';
    for (const InputEvent& event : pending_) {
        out << static_cast<char>(event.kind) << ' ' << event.a << ' ' << event.b << ' ' << event.c
            << '\n';
    }
    pending_.clear();
    // Only what changed since the frame before: resting objects cost nothing.
    std::vector<std::string> lines;
    for (const auto& object : digest.objects) {
        auto it = writtenObjects_.find(object.first);
        if (it == writtenObjects_.end() || it->second != object.second) {
            lines.push_back(hex64(object.second) + ' ' + object.first);
        }
    }
    for (const auto& old : writtenObjects_) {
        if (!digest.objects.count(old.first)) {
            lines.push_back("x " + old.first);
        }
    }
    writtenObjects_ = digest.objects;
    out << "s " << hex64(digest.total) << ' ' << lines.size() << '\n';
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

std::string ReplaySession::describeDifference(const std::map<std::string, uint64_t>& recorded,
                                              const StateDigest& now) const {
    auto a = recorded.begin();
    auto b = now.objects.begin();
    std::string what = "the world's state differs";
    while (a != recorded.end() || b != now.objects.end()) {
        if (b == now.objects.end() || (a != recorded.end() && a->first < b->first)) {
            what = "object \"" + a->first + "\" is missing (it was there in the recording)";
            break;
        }
        if (a == recorded.end() || b->first < a->first) {
            what = "object \"" + b->first + "\" is new (it was not in the recording)";
            break;
        }
        if (a->second != b->second) {
            what = "object \"" + a->first + "\" differs";
            break;
        }
        ++a;
        ++b;
    }
    return lang::format("Replay diverged at frame {0}: {1}", frame_, what);
}

void ReplaySession::finish() {
    if (record_) {
        *record_ << "end " << frame_ << '\n';
        record_->close();
        record_.reset();
    }
    if (hashLog_) {
        hashLog_->close();
        hashLog_.reset();
    }
}

}  // namespace framework
