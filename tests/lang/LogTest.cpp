#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "lang/Log.h"
#include "lang/System.h"
#include "lang/VisualStudioLogger.h"

namespace {

using lang::log::Record;

// Remembers the records it receives, with a shared journal of call order.
class Recorder : public lang::log::Listener {
public:
    explicit Recorder(std::vector<const Recorder*>* order = nullptr) : order_(order) {}
    void log(const Record& record) override {
        records.push_back(record);
        messages.push_back(record.message);
        if (order_) {
            order_->push_back(this);
        }
    }
    std::vector<Record> records;
    std::vector<std::string> messages;

private:
    std::vector<const Recorder*>* order_;
};

TEST(Log, WritesNothingWithoutListeners) {
    Recorder recorder;
    lang::log::addListener(&recorder);
    lang::log::removeListener(&recorder);
    QF_LOG("", lang::log::ERROR, "dropped %d", 1);
    EXPECT_TRUE(recorder.records.empty());
}

TEST(Log, RecordCarriesTheCallSite) {
    Recorder recorder;
    lang::log::addListener(&recorder);
    int64_t before = lang::System::wallClockMillis();
    lang::log::write("Audio", "hud.cpp", "game::Hud::draw", 12, lang::log::WARNING, "%s=%d", "x",
                     3);
    lang::log::removeListener(&recorder);
    ASSERT_EQ(recorder.records.size(), 1u);
    const Record& r = recorder.records[0];
    EXPECT_STREQ(r.file, "hud.cpp");
    EXPECT_STREQ(r.function, "game::Hud::draw");
    EXPECT_EQ(r.line, 12);
    EXPECT_EQ(r.level, lang::log::WARNING);
    EXPECT_EQ(r.message, "x=3");
    EXPECT_EQ(r.category, "Audio");
    EXPECT_GE(r.time, before);
}

TEST(Log, ListenersAreCalledInAddressOrder) {
    std::vector<const Recorder*> order;
    Recorder pair[2] = {Recorder(&order), Recorder(&order)};
    lang::log::addListener(&pair[1]);
    lang::log::addListener(&pair[0]);
    lang::log::addListener(&pair[0]);  // registered once only
    QF_LOG("", lang::log::ERROR, "hello");
    lang::log::removeListener(&pair[0]);
    QF_LOG("", lang::log::ERROR, "second");
    lang::log::removeListener(&pair[1]);
    std::vector<const Recorder*> expected = {&pair[0], &pair[1], &pair[1]};
    EXPECT_EQ(order, expected);
}

// The shared buffer starts at 512 bytes; longer messages must not be cut.
TEST(Log, LongMessagesGrowTheBuffer) {
    Recorder recorder;
    lang::log::addListener(&recorder);
    std::string longText(3000, 'q');
    QF_LOG("", lang::log::ERROR, "%s", longText.c_str());
    QF_LOG("", lang::log::ERROR, "short");
    lang::log::removeListener(&recorder);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0], longText);
    EXPECT_EQ(recorder.messages[1], "short");
}

TEST(Log, EncodingErrorBecomesMessage) {
    Recorder recorder;
    lang::log::addListener(&recorder);
    const wchar_t invalid[] = {static_cast<wchar_t>(0xD800), 0};  // no multibyte form
    QF_LOG("", lang::log::ERROR, "%ls", invalid);
    lang::log::removeListener(&recorder);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], "encoding error");
}

TEST(Log, ListenerExceptionsDoNotReachTheCaller) {
    struct Thrower : lang::log::Listener {
        void log(const Record&) override { throw std::runtime_error("listener failed"); }
    } thrower;
    lang::log::addListener(&thrower);
    EXPECT_NO_THROW(QF_LOG("", lang::log::ERROR, "x"));
    lang::log::removeListener(&thrower);
}

Record makeRecord(const char* file, int level, const std::string& category) {
    return Record{0, file, "f", 12, static_cast<lang::log::Level>(level), "x", category};
}

TEST(VisualStudioLogger, FormatsLines) {
    using framework::VisualStudioLogger;
    const struct {
        Record record;
        std::string line;
    } cases[] = {
        {makeRecord("hud", lang::log::WARNING, "Audio"), "hud(12): [WARNING] (Audio): x\n"},
        {makeRecord("hud", lang::log::ERROR, ""), "hud(12): [ERROR]: x\n"},
        {makeRecord("hud", 7, ""), "hud(12): [UNKNOWN]: x\n"},
        {makeRecord("hud", -1, ""), "hud(12): [UNKNOWN]: x\n"},
        {makeRecord("a{0}\\b", lang::log::AUDIT, "{1}"), "a{0}\\b(12): [AUDIT] ({1}): x\n"},
        {makeRecord(nullptr, lang::log::ERROR, "Audio"), "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VisualStudioLogger::formatRecord(c.record), c.line);
    }
}

TEST(VisualStudioLogger, WritesToStandardErrorWhileAlive) {
    testing::internal::CaptureStderr();
    {
        framework::VisualStudioLogger logger;
        lang::log::write("", "hud", "f", 3, static_cast<lang::log::Level>(7), "%s", "odd level");
        lang::log::write("", nullptr, "f", 3, lang::log::ERROR, "bare");
    }
    lang::log::write("", "hud", "f", 4, lang::log::ERROR, "after");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "hud(3): [UNKNOWN]: odd level\nbare");
}

TEST(LevelName, NamesEveryLevel) {
    const char* names[] = {"AUDIT", "ERROR", "WARNING", "INFO", "DEBUG", "VERBOSE", "UNKNOWN"};
    for (int level = 0; level <= 6; ++level) {
        EXPECT_STREQ(lang::log::levelName(static_cast<lang::log::Level>(level)), names[level]);
    }
}

}  // namespace
