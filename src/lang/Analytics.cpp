#include "lang/Analytics.h"

#include <set>

#include "lang/System.h"

namespace lang {
namespace analytics {

namespace {
// Exists only while at least one listener is registered.
std::set<Listener*>* listeners = nullptr;
}  // namespace

void addListener(Listener* listener) {
    if (!listener) {
        return;
    }
    if (!listeners) {
        listeners = new std::set<Listener*>;
    }
    listeners->insert(listener);
}

void removeListener(Listener* listener) {
    if (!listeners) {
        return;
    }
    listeners->erase(listener);
    if (listeners->empty()) {
        delete listeners;
        listeners = nullptr;
    }
}

void dispatch(const std::string& event, const std::map<std::string, std::string>& parameters) {
    if (!listeners) {
        return;
    }
    Record record{System::wallClockMillis(), event, parameters};
    for (Listener* listener : *listeners) {
        listener->event(record);
    }
}

}  // namespace analytics
}  // namespace lang
