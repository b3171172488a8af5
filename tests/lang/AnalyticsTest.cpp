#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lang/Analytics.h"
#include "lang/System.h"

namespace {

class Sink : public lang::analytics::Listener {
public:
    explicit Sink(std::vector<const Sink*>* order) : order_(order) {}
    void event(const lang::analytics::Record& record) override {
        records.push_back(record);
        order_->push_back(this);
    }
    void setParameters(const lang::analytics::Record&) override {}
    std::vector<lang::analytics::Record> records;

private:
    std::vector<const Sink*>* order_;
};

TEST(Analytics, DispatchReachesListenersInAddressOrder) {
    std::vector<const Sink*> order;
    Sink sinks[2] = {Sink(&order), Sink(&order)};
    lang::analytics::dispatch("nobody", {});  // no registry: nothing happens
    lang::analytics::addListener(&sinks[1]);
    lang::analytics::addListener(&sinks[0]);
    int64_t before = lang::System::wallClockMillis();
    lang::analytics::dispatch("level_won", {{"level", "3"}, {"stars", "2"}});
    lang::analytics::removeListener(&sinks[0]);
    lang::analytics::removeListener(&sinks[1]);
    lang::analytics::dispatch("after", {});

    EXPECT_EQ(order, (std::vector<const Sink*>{&sinks[0], &sinks[1]}));
    ASSERT_EQ(sinks[1].records.size(), 1u);
    const lang::analytics::Record& r = sinks[1].records[0];
    EXPECT_EQ(r.event, "level_won");
    EXPECT_EQ(r.parameters.at("stars"), "2");
    EXPECT_GE(r.time, before);
}

}  // namespace
