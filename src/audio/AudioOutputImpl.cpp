#include "audio/AudioOutputImpl.h"

#include <cmath>

#include "lang/Func.h"

namespace audio {

namespace {

// 1/20 second, rounded up to whole sample frames.
int queueBytes(const AudioFormat& format) {
    const int frames = (format.samplesPerSecond + 19) / 20;
    return frames * format.blockAlign();
}

// The device volume: (v x 10000 - 10000) hundredths of a decibel truncated
// toward zero, held between -100 dB (silence) and 0 dB as the device does.
int deviceVolume(float volume) {
    if (!(volume > 0.0f)) {
        return -10000;
    }
    if (volume >= 1.0f) {
        return 0;
    }
    return int(volume * 10000.0f - 10000.0f);
}

float masterGain(int hundredthsDb) {
    if (hundredthsDb <= -10000) {
        return 0.0f;
    }
    return float(std::pow(10.0, hundredthsDb / 2000.0));
}

}  // namespace

AudioOutputImpl::AudioOutputImpl(const AudioFormat& format, const lang::Ptr<AudioDevice>& device)
    : format_(format),
      device_(device),
      deviceVolume_(0),
      bufferSize_(queueBytes(format)),
      started_(false),
      block_(size_t(bufferSize_)) {}

AudioOutputImpl::~AudioOutputImpl() {
    stop();
}

bool AudioOutputImpl::start() {
    lang::MutexLock guard(lock_);
    if (started_) {
        return true;
    }
    // Unlike a refused start that leaves the flags set, a later start tries again.
    if (!device_->start()) {
        return false;
    }
    started_ = true;
    mixer_.setRunning(true);
    try {
        thread_ = new lang::Thread(lang::Func1<AudioOutputImpl>(&AudioOutputImpl::run, this), true);
    } catch (...) {
        started_ = false;
        mixer_.setRunning(false);
        device_->stop();
        throw;
    }
    thread_->setPriority(thread_->getPriority() + 1);
    return true;
}

void AudioOutputImpl::stop() {
    lang::MutexLock guard(lock_);
    if (!started_) {
        return;
    }
    started_ = false;
    thread_.reset();  // waits until the thread has left its loop
    device_->stop();
    mixer_.setRunning(false);
}

void AudioOutputImpl::setMasterVolume(float volume) {
    deviceVolume_ = deviceVolume(volume);
    mixer_.setMasterGain(masterGain(deviceVolume_));
}

float AudioOutputImpl::getMasterVolume() const {
    return float(deviceVolume_ + 10000) / 10000.0f;
}

// Keeps the device queue filled: whenever at least an eighth of it is free, mixes
// that much and queues it.
void AudioOutputImpl::run() {
    const int frameBytes = format_.blockAlign();
    const int minimum = bufferSize_ / 8;
    while (started_) {
        lang::Thread::sleep(1);
        int room = bufferSize_ - device_->queuedBytes();
        room -= room % frameBytes;
        if (room < minimum || room <= 0) {
            continue;
        }
        mixer_.mix(block_.data(), room, format_);
        device_->queue(block_.data(), room);
    }
}

}  // namespace audio
