#include "framework/OSInterface.h"

namespace framework {

OSInterface::OSInterface(const std::vector<std::string>& arguments) : arguments_(arguments) {
    argumentPointers_.reserve(arguments_.size());
    for (const std::string& argument : arguments_) {
        argumentPointers_.push_back(argument.c_str());
    }
}

OSInterface::~OSInterface() = default;

void OSInterface::notify(int kind, int value) {
    (void)kind;
    (void)value;
}

void OSInterface::vibrate(int milliseconds) {
    (void)milliseconds;
}

}  // namespace framework
