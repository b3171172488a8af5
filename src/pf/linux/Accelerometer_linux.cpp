#include "pf/Accelerometer.h"

namespace pf {

class Accelerometer::Impl : public lang::Object {
public:
    bool started = false;
};

Accelerometer::Accelerometer() : impl_(new Impl) {}
Accelerometer::~Accelerometer() = default;

bool Accelerometer::start() {
    impl_->started = true;
    return true;
}

void Accelerometer::stop() {
    impl_->started = false;
}

Acceleration Accelerometer::getAcceleration() const {
    Acceleration a;
    if (impl_->started) {
        a.y = -1;
    }
    return a;
}

}  // namespace pf
