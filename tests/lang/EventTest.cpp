#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/Event.h"

namespace {

using lang::Ptr;
using lang::event::Event;
using lang::event::Link;

Event<void(int)> numberEvent;
Event<void(int)> otherNumberEvent;
Event<void(int)> silentEvent;
Event<void(float, std::string)> pairEvent;
Event<void()> plainEvent;

TEST(Event, IdsAreUniqueAndIncreasing) {
    EXPECT_GE(numberEvent.id(), 1);
    EXPECT_LT(numberEvent.id(), otherNumberEvent.id());
    EXPECT_LT(otherNumberEvent.id(), silentEvent.id());
    EXPECT_NE(pairEvent.id(), plainEvent.id());
}

TEST(Event, SubscribersRunInConnectionOrderUntilTheirLinkGoes) {
    std::vector<std::string> calls;
    Ptr<Link> first = lang::event::connect(
        numberEvent, [&](int v) { calls.push_back("first" + std::to_string(v)); });
    Ptr<Link> second = lang::event::connect(
        numberEvent, [&](int v) { calls.push_back("second" + std::to_string(v)); });
    EXPECT_EQ(first->status(), Link::Connected);
    lang::event::emit(numberEvent, 1);
    lang::event::emit(otherNumberEvent, 9);  // another event of the same signature
    first = nullptr;
    lang::event::emit(numberEvent, 2);
    second = nullptr;
    lang::event::emit(numberEvent, 3);
    EXPECT_EQ(calls, (std::vector<std::string>{"first1", "second1", "second2"}));
}

TEST(Event, ArgumentsArePassedToEverySubscriber) {
    float total = 0;
    std::string text;
    Ptr<Link> a = lang::event::connect(pairEvent, [&](float f, std::string s) {
        total += f;
        text += s;
        s = "changed";  // each subscriber gets its own copy
    });
    Ptr<Link> b = lang::event::connect(pairEvent, [&](float f, std::string s) {
        total += f;
        text += s;
    });
    lang::event::emit(pairEvent, 1.5f, "ab");
    EXPECT_EQ(total, 3.0f);
    EXPECT_EQ(text, "abab");
}

TEST(Event, EmittingWithoutSubscribersCreatesNoEntry) {
    lang::event::emit(silentEvent, 5);
    EXPECT_FALSE(lang::event::hasHandlerList(silentEvent));
    int calls = 0;
    Ptr<Link> link = lang::event::connect(plainEvent, [&] { ++calls; });
    link = nullptr;
    EXPECT_TRUE(lang::event::hasHandlerList(plainEvent));
    lang::event::emit(plainEvent);
    EXPECT_EQ(calls, 0);
}

TEST(Event, SubscriberMayDisconnectItselfWhileCalled) {
    int calls = 0;
    Ptr<Link> self;
    self = lang::event::connect(plainEvent, [&] {
        ++calls;
        self = nullptr;
    });
    Ptr<Link> later;
    Ptr<Link> adder = lang::event::connect(plainEvent, [&] {
        // Connected during the emission: not called by it.
        later = lang::event::connect(plainEvent, [&] { calls += 100; });
    });
    lang::event::emit(plainEvent);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(self, nullptr);
    adder = nullptr;
    lang::event::emit(plainEvent);
    EXPECT_EQ(calls, 101);
}

TEST(Event, SubscriberDisconnectedByAnEarlierOneIsNotCalled) {
    int victimCalls = 0;
    Ptr<Link> victim;
    Ptr<Link> killer = lang::event::connect(plainEvent, [&] { victim = nullptr; });
    victim = lang::event::connect(plainEvent, [&] { ++victimCalls; });
    lang::event::emit(plainEvent);
    EXPECT_EQ(victimCalls, 0);
}

// When the handler registry is torn down first (process exit), the link is
// told so and must not reach back into it.
TEST(Link, DetachedLinkLeavesTheRegistryAlone) {
    using List = lang::event::detail::HandleList<int>;
    auto* list = new List;
    std::function<void(int)> callback = [](int) {};
    Ptr<Link> link = new Link([list, callback](Link* self, Link::Status wanted) {
        return lang::event::detail::control<int>(*list, callback, self, wanted);
    });
    EXPECT_EQ(link->status(), Link::Disconnected);
    link->request(Link::Connected);
    EXPECT_EQ(link->status(), Link::Connected);
    EXPECT_EQ(list->size(), 1u);
    link->request(Link::Connected);  // no second handle
    EXPECT_EQ(list->size(), 1u);

    delete list;  // the registry goes away
    EXPECT_EQ(link->status(), Link::Detached);
    link = nullptr;  // under ASan, touching the freed list would be reported
}

TEST(Link, DisconnectedLinkRemovesOnlyItsOwnHandle) {
    using List = lang::event::detail::HandleList<int>;
    List list;
    std::vector<int> seen;
    auto makeLink = [&](int tag) {
        std::function<void(int)> callback = [&seen, tag](int) { seen.push_back(tag); };
        Ptr<Link> link = new Link([&list, callback](Link* self, Link::Status wanted) {
            return lang::event::detail::control<int>(list, callback, self, wanted);
        });
        link->request(Link::Connected);
        return link;
    };
    Ptr<Link> a = makeLink(1);
    Ptr<Link> b = makeLink(2);
    Ptr<Link> c = makeLink(3);
    b->request(Link::Disconnected);
    EXPECT_EQ(b->status(), Link::Disconnected);
    for (auto& handle : list) {
        handle->callback(0);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3}));
}

}  // namespace
