#include <gtest/gtest.h>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace {

// Counts live instances so the tests can see deletion.
class Tracked : public lang::Object {
public:
    explicit Tracked(int* alive) : alive_(alive) { ++*alive_; }
    ~Tracked() override { --*alive_; }

private:
    int* alive_;
};

class Derived : public Tracked {
public:
    using Tracked::Tracked;
};

TEST(Ptr, FirstPointerOwnsTheNewObject) {
    int alive = 0;
    Tracked* raw = new Tracked(&alive);
    EXPECT_EQ(raw->referenceCount(), 0);
    {
        lang::Ptr<Tracked> a = raw;
        EXPECT_EQ(raw->referenceCount(), 1);
        lang::Ptr<Tracked> b = a;
        EXPECT_EQ(raw->referenceCount(), 2);
        b.reset();
        EXPECT_EQ(b, nullptr);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(Ptr, SelfAssignmentKeepsTheObject) {
    int alive = 0;
    lang::Ptr<Tracked> a = new Tracked(&alive);
    lang::Ptr<Tracked>& alias = a;
    a = alias;
    a = a.get();
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(a->referenceCount(), 1);
}

TEST(Ptr, ReassignmentReleasesTheOldTarget) {
    int alive = 0;
    lang::Ptr<Tracked> a = new Tracked(&alive);
    a = new Tracked(&alive);
    EXPECT_EQ(alive, 1);
    lang::Ptr<Tracked> b = std::move(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b->referenceCount(), 1);
    lang::Ptr<Derived> d = new Derived(&alive);
    b = d;  // converts from a derived pointer
    EXPECT_EQ(alive, 1);
    EXPECT_TRUE(b == d);
    EXPECT_EQ(d->referenceCount(), 2);
}

TEST(Ptr, ReleasingALinkedObjectFromItsOwnDestructorIsSafe) {
    // A node whose destructor drops the last reference to the next node.
    struct Node : lang::Object {
        lang::Ptr<Node> next;
    };
    lang::Ptr<Node> head = new Node;
    head->next = new Node;
    head->next->next = new Node;
    head = head->next;  // old head dies, its next survives through the assignment
    EXPECT_NE(head->next, nullptr);
    head.reset();
}

TEST(Object, CopyStartsWithNoOwners) {
    lang::Object original;
    original.addReference();
    lang::Object copy(original);
    EXPECT_EQ(copy.referenceCount(), 0);
    copy = original;
    EXPECT_EQ(copy.referenceCount(), 0);
}

}  // namespace
