#include "lang/Exception.h"

#include <cstdio>
#include <cstdlib>

namespace lang {

namespace {
Throwable::DialogHook dialogHook = nullptr;
}

Throwable::Throwable(const Format& format) : format_(format), message_(format.format()) {}

Throwable::DialogHook Throwable::setDialogHook(DialogHook hook) {
    DialogHook previous = dialogHook;
    dialogHook = hook;
    return previous;
}

void Throwable::showDialog() const {
    static const char caption[] = "C++ Exception Generated!";
    if (!dialogHook) {
        std::fprintf(stderr, "%s\n%s\n", caption, message_.c_str());
        std::fflush(stderr);
        return;
    }
    if (dialogHook(caption, message_) == DIALOG_ABORT) {
        std::_Exit(-1);
    }
}

}  // namespace lang
