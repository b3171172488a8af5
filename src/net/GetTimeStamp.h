#pragma once

#include <string>

#include "lang/Exception.h"
#include "lang/Ptr.h"
#include "lua/LuaObject.h"
#include "net/TimeStampAnswer.h"

/// Trusted calendar time from a time server, fetched on a worker thread, and the
/// script global "GetTimeStamp" with fetchTimeStamp(url, userId), hasResult()
/// and getTimeStamp(). Main thread only; the download runs on the worker.
class GetTimeStamp : public lua::LuaObject {
public:
    class NotYetStartedException : public lang::Exception {
    public:
        explicit NotYetStartedException(const lang::Format& format) : lang::Exception(format) {}
    };
    class BadReturnException : public lang::Exception {
    public:
        explicit BadReturnException(const lang::Format& format) : lang::Exception(format) {}
    };

    /// Error codes of a finished download.
    enum {
        SUCCESS = 0,
        IO_ERROR = -1,
        HTTP_ERROR = -2,  // transport failure or a status other than 200
        OTHER_ERROR = -3
    };

    /// Publishes the object as the global "GetTimeStamp" of state.
    explicit GetTimeStamp(lua::LuaState& state);
    ~GetTimeStamp() override;

    /// Starts a download of url (with "&uid=" and the user id appended when the id
    /// is not empty). A download still running is waited for and discarded.
    void fetchTimeStamp(const std::string& url, const std::string& userId);
    /// Never blocks: false without a worker or while the download runs.
    bool hasResult();
    /// Waits for a running download. Throws NotYetStartedException (the worker
    /// is kept) or BadReturnException (the worker is released); on success the
    /// worker is released too.
    net::TimeStamp getTimeStamp();

private:
    class Worker;

    int luaFetchTimeStamp(lua::LuaState* state);
    int luaHasResult(lua::LuaState* state);
    /// A table of year, month, day and secondsToNext; or nil and the name of
    /// the exception.
    int luaGetTimeStamp(lua::LuaState* state);

    lang::Ptr<Worker> worker_;
};
