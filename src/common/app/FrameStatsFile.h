#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "common/world/FrameStats.h"

/// The --stats file: a header, then one line a frame with where its time went
/// (microseconds), the whole frame's time since the previous line, and the
/// wall clock at its end (microseconds since the epoch, to time start-up
/// against the process's launch).
class FrameStatsFile {
public:
    /// Throws lang::Exception when the file cannot be created.
    explicit FrameStatsFile(const std::string& path);
    ~FrameStatsFile();
    FrameStatsFile(const FrameStatsFile&) = delete;
    FrameStatsFile& operator=(const FrameStatsFile&) = delete;

    void write(const FrameStats& stats);

private:
    std::FILE* file_;
    int frame_ = 0;
    std::chrono::steady_clock::time_point last_;
};
