#include "common/app/FrameStatsFile.h"

#include "lang/Exception.h"
#include "lang/Format.h"

FrameStatsFile::FrameStatsFile(const std::string& path)
    : file_(std::fopen(path.c_str(), "w")), last_(std::chrono::steady_clock::now()) {
    if (!file_) {
        throw lang::Exception(lang::Format("Cannot create the stats file {0}", path));
    }
    std::fputs("frame physics_us hooks_us publish_us draw_us present_us frame_us wall_us\n", file_);
}

FrameStatsFile::~FrameStatsFile() {
    std::fclose(file_);
}

void FrameStatsFile::write(const FrameStats& stats) {
    const auto now = std::chrono::steady_clock::now();
    const std::chrono::duration<double, std::micro> frame = now - last_;
    last_ = now;
    const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(file_, "%d %.1f %.1f %.1f %.1f %.1f %.1f %lld\n", frame_++, stats.physics,
                 stats.hooks, stats.publish, stats.draw, stats.present, frame.count(),
                 static_cast<long long>(wall.count()));
}
