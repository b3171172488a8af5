#pragma once

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

struct Acceleration {
    float x = 0;
    float y = 0;
    float z = 0;
};

/// A desktop has no sensor: while started the device lies still with gravity
/// pointing down the screen.
class Accelerometer : public lang::Object {
public:
    class Impl;

    Accelerometer();
    ~Accelerometer() override;

    bool start();
    void stop();
    /// (0, -1, 0) while started, (0, 0, 0) otherwise.
    Acceleration getAcceleration() const;

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
