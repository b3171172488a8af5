#include "net/GetTimeStamp.h"

#include <cctype>

#include "io/IOException.h"
#include "lang/Func.h"
#include "lang/Mutex.h"
#include "lang/Thread.h"
#include "net/HttpFileInputStream.h"
#include "net/HttpRequestException.h"

class GetTimeStamp::Worker : public lang::Object {
public:
    explicit Worker(const std::string& url) : url_(url) {
        thread_ = new lang::Thread(lang::Func1<Worker>(&Worker::run, this), true);
    }
    // Releasing the thread joins it before the fields it writes go away.
    ~Worker() override { thread_.reset(); }

    bool hasResult() {
        if (!mutex_.tryLock()) {
            return false;
        }
        bool started = started_;
        mutex_.unlock();
        return started;
    }

    // Copies the outcome, waiting for a running download. False before the
    // worker thread has started.
    bool outcome(net::TimeStamp& stamp, int& error) {
        lang::MutexLock lock(mutex_);
        stamp = stamp_;
        error = error_;
        return started_;
    }

private:
    void run() {
        lang::MutexLock lock(mutex_);
        started_ = true;
        try {
            lang::Ptr<net::HttpFileInputStream> in = new net::HttpFileInputStream(url_);
            stamp_ = net::parseTimeStampAnswer(io::readAllAsString(*in));
            error_ = SUCCESS;
        } catch (const io::IOException&) {
            error_ = IO_ERROR;
        } catch (const net::HttpRequestException&) {
            error_ = HTTP_ERROR;
        } catch (...) {
            error_ = OTHER_ERROR;
        }
    }

    lang::Mutex mutex_;
    std::string url_;
    bool started_ = false;
    net::TimeStamp stamp_;
    int error_ = SUCCESS;
    lang::Ptr<lang::Thread> thread_;
};

namespace {

// The user id goes into a query: anything but the unreserved characters is
// percent-encoded so that it cannot add parameters or end the query.
std::string encodeQueryValue(const std::string& value) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

}  // namespace

GetTimeStamp::GetTimeStamp(lua::LuaState& state) : lua::LuaObject(state) {
    addMethod("fetchTimeStamp", this, &GetTimeStamp::luaFetchTimeStamp);
    addMethod("hasResult", this, &GetTimeStamp::luaHasResult);
    addMethod("getTimeStamp", this, &GetTimeStamp::luaGetTimeStamp);
    state.getGlobals().set("GetTimeStamp", this);
}

GetTimeStamp::~GetTimeStamp() = default;

void GetTimeStamp::fetchTimeStamp(const std::string& url, const std::string& userId) {
    worker_.reset();
    worker_ = new Worker(userId.empty() ? url : url + "&uid=" + encodeQueryValue(userId));
}

bool GetTimeStamp::hasResult() {
    return worker_ && worker_->hasResult();
}

net::TimeStamp GetTimeStamp::getTimeStamp() {
    net::TimeStamp stamp;
    int error = SUCCESS;
    if (!worker_ || !worker_->outcome(stamp, error)) {
        throw NotYetStartedException(lang::Format("Thread not started yet."));
    }
    worker_.reset();
    if (error != SUCCESS) {
        throw BadReturnException(lang::Format("Error code {0}", error));
    }
    return stamp;
}

int GetTimeStamp::luaFetchTimeStamp(lua::LuaState* state) {
    std::string url = state->toString(1);
    fetchTimeStamp(url, state->toString(2));
    return 0;
}

int GetTimeStamp::luaHasResult(lua::LuaState* state) {
    state->pushBoolean(hasResult());
    return 1;
}

int GetTimeStamp::luaGetTimeStamp(lua::LuaState* state) {
    const char* failure = nullptr;
    net::TimeStamp stamp;
    try {
        stamp = getTimeStamp();
    } catch (const NotYetStartedException&) {
        failure = "NotYetStartedException";
    } catch (const BadReturnException&) {
        failure = "BadReturnException";
    }
    if (failure) {
        state->pushNil();
        state->pushString(failure);
        return 2;
    }
    lua::LuaTable result(*state);
    result.set("year", stamp.year);
    result.set("month", stamp.month);
    result.set("day", stamp.day);
    result.set("secondsToNext", stamp.secondsToNext);
    state->pushTable(&result);
    return 1;
}
