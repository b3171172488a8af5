#pragma once

#include "audio/AudioFormat.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace audio {

/// A sound device fed by pushing blocks of PCM in the output format into a queue.
/// The output thread queues and asks for the queued size; the main thread starts
/// and stops the device while that thread is not running.
class AudioDevice : public lang::Object {
public:
    /// Starts playing what is queued; false when the device refuses.
    virtual bool start() = 0;
    /// Pauses the device and drops what is queued.
    virtual void stop() = 0;
    /// Bytes queued and not yet played.
    virtual int queuedBytes() = 0;
    virtual void queue(const void* bytes, int count) = 0;
};

/// Opens the system's sound device in `format`, falling back to a silent device
/// when no real one opens. Throws lang::Exception "AudioOutput creation failed".
lang::Ptr<AudioDevice> openSystemAudioDevice(const AudioFormat& format);

}  // namespace audio
