#include "framework/sdl/SdlDialogs.h"

#include <cstdio>

#include "lang/Exception.h"
#include "lang/Log.h"

namespace framework {
namespace sdl {

namespace {

bool headlessDialogs = false;

void writeToStandardError(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

lang::Throwable::DialogChoice exceptionDialog(const std::string& caption,
                                              const std::string& message) {
    if (!headlessDialogs) {
        const SDL_MessageBoxButtonData buttons[] = {
            {0, lang::Throwable::DIALOG_ABORT, "Abort"},
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, lang::Throwable::DIALOG_RETRY, "Retry"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, lang::Throwable::DIALOG_IGNORE, "Ignore"},
        };
        const SDL_MessageBoxData box = {
            SDL_MESSAGEBOX_ERROR, nullptr, caption.c_str(), message.c_str(), 3, buttons, nullptr,
        };
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) == 0) {
            // Closing the box without a button counts as Ignore.
            return pressed >= 0 ? static_cast<lang::Throwable::DialogChoice>(pressed)
                                : lang::Throwable::DIALOG_IGNORE;
        }
    }
    QF_LOG("", lang::log::ERROR, "%s: %s", caption.c_str(), message.c_str());
    return lang::Throwable::DIALOG_IGNORE;
}

}  // namespace

void setDialogsHeadless(bool headless) {
    headlessDialogs = headless;
}

void showErrorBox(SDL_Window* owner, const std::string& caption, const std::string& text) {
    if (headlessDialogs ||
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), owner) != 0) {
        writeToStandardError(caption, text);
    }
}

void installExceptionDialog() {
    lang::Throwable::setDialogHook(exceptionDialog);
}

}  // namespace sdl
}  // namespace framework
