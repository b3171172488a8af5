#pragma once

#include <exception>
#include <string>

#include "lang/Format.h"

namespace lang {

/// Root of the engine's exceptions. The message is formatted once, when the
/// throwable is constructed, and copied with it.
class Throwable : public std::exception {
public:
    /// The choices offered by showDialog.
    enum DialogChoice { DIALOG_ABORT, DIALOG_RETRY, DIALOG_IGNORE };
    /// Presents a message with the three choices; installed by the window shell.
    using DialogHook = DialogChoice (*)(const std::string& caption, const std::string& message);

    Throwable() = default;
    explicit Throwable(const Format& format);

    const char* what() const noexcept override { return message_.c_str(); }
    const Format& getFormat() const { return format_; }
    const std::string& getMessage() const { return message_; }

    /// Shows the message with the caption "C++ Exception Generated!". Abort ends
    /// the process with status -1; Retry and Ignore return. Without a dialog hook
    /// the message goes to standard error and the call returns.
    void showDialog() const;

    /// Installs the dialog used by showDialog (null restores the default); returns
    /// the previous hook.
    static DialogHook setDialogHook(DialogHook hook);

private:
    Format format_;
    std::string message_;
};

class Exception : public Throwable {
public:
    Exception() = default;
    explicit Exception(const Format& format) : Throwable(format) {}
};

class FormatException : public Exception {
public:
    FormatException() = default;
    explicit FormatException(const Format& format) : Exception(format) {}
};

/// Ends a lang::Thread quietly when it leaves the thread's function.
class ThreadInterruptedException : public Exception {
public:
    ThreadInterruptedException() = default;
    explicit ThreadInterruptedException(const Format& format) : Exception(format) {}
};

}  // namespace lang
