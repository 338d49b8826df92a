#include "engine/Instrument.h"
#include "engine/PitchTables.h"
#include "engine/Rack.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts destructions, to tell parked instruments from destroyed ones.
class CountedInstrument : public Instrument
{
public:
    CountedInstrument() : Instrument(16, 44100) {}
    ~CountedInstrument() override { ++destroyed; }
    static int destroyed;
};
int CountedInstrument::destroyed = 0;

class RackTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { makeFrequencyTab(); }
    void SetUp() override { CountedInstrument::destroyed = 0; }

    std::vector<Instrument*> fill(Rack& rack, int n)
    {
        std::vector<Instrument*> added;
        for (int i = 0; i < n; ++i) {
            added.push_back(new CountedInstrument);
            EXPECT_TRUE(rack.addInstrument(added.back()));
        }
        return added;
    }

    // Positions and ids must agree and follow `expected` in order.
    static void expectContents(const Rack& rack, const std::vector<Instrument*>& expected)
    {
        ASSERT_EQ(rack.getCount(), (int)expected.size());
        for (int i = 0; i < (int)expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "position " << i);
            EXPECT_EQ(rack.getInstrumentAt(i), expected[i]);
            EXPECT_EQ(expected[i]->getId(), i);
            EXPECT_EQ(rack.getInstrumentById(i), expected[i]);
        }
        EXPECT_EQ(rack.getInstrumentAt(-1), nullptr);
        EXPECT_EQ(rack.getInstrumentAt((int)expected.size()), nullptr);
        EXPECT_EQ(rack.getInstrumentById((int)expected.size()), nullptr);
    }
};

} // namespace

TEST_F(RackTest, AddAppendsWithIdEqualToPosition)
{
    Rack rack;
    expectContents(rack, {});
    std::vector<Instrument*> added = fill(rack, 3);
    expectContents(rack, added);
    EXPECT_FALSE(rack.addInstrument(nullptr));
    expectContents(rack, added);
}

TEST_F(RackTest, FullRackRefusesAndLeavesOwnershipWithTheCaller)
{
    Rack rack;
    std::vector<Instrument*> added = fill(rack, Rack::kMaxInstruments);
    auto extra = std::make_unique<CountedInstrument>();
    extra->setId(77);
    EXPECT_FALSE(rack.addInstrument(extra.get()));
    EXPECT_EQ(extra->getId(), 77);
    expectContents(rack, added);
    rack.clear();
    EXPECT_EQ(CountedInstrument::destroyed, Rack::kMaxInstruments);
}

TEST_F(RackTest, PendingDeletionBlocksAdding)
{
    Rack rack;
    std::vector<Instrument*> added = fill(rack, 2);
    added[1]->markForDelete();
    auto refused = std::make_unique<CountedInstrument>();
    EXPECT_FALSE(rack.addInstrument(refused.get()));
    expectContents(rack, added);

    rack.processDeletion();
    EXPECT_TRUE(rack.addInstrument(refused.get()));
    expectContents(rack, {added[0], refused.release()});
}

TEST_F(RackTest, RemoveAtClosesTheGapInOrder)
{
    Rack rack;
    std::vector<Instrument*> added = fill(rack, 4);
    rack.removeInstrumentAt(1);
    expectContents(rack, {added[0], added[2], added[3]});
    EXPECT_EQ(CountedInstrument::destroyed, 1);

    for (int index : {-1, 3, 100}) {
        SCOPED_TRACE(testing::Message() << "index " << index);
        rack.removeInstrumentAt(index);
        expectContents(rack, {added[0], added[2], added[3]});
        EXPECT_EQ(CountedInstrument::destroyed, 1);
    }
}

// Marked instruments leave the list at once but are destroyed only by the
// collecting thread: releaseRetired(), clear() or the rack's destructor.
TEST_F(RackTest, ProcessDeletionRemovesAllMarkedAndParksThem)
{
    enum Collector { kRelease, kClear, kDestructor };
    for (Collector collector : {kRelease, kClear, kDestructor}) {
        SCOPED_TRACE(testing::Message() << "collector " << collector);
        CountedInstrument::destroyed = 0;
        auto rack = std::make_unique<Rack>();
        std::vector<Instrument*> added = fill(*rack, 4);
        added[0]->markForDelete();
        added[2]->markForDelete();
        rack->processDeletion();
        expectContents(*rack, {added[1], added[3]});
        EXPECT_EQ(CountedInstrument::destroyed, 0);

        switch (collector) {
        case kRelease:
            rack->releaseRetired();
            EXPECT_EQ(CountedInstrument::destroyed, 2);
            expectContents(*rack, {added[1], added[3]});
            rack->releaseRetired();
            EXPECT_EQ(CountedInstrument::destroyed, 2);
            break;
        case kClear:
            rack->clear();
            EXPECT_EQ(CountedInstrument::destroyed, 4);
            break;
        case kDestructor:
            rack.reset();
            EXPECT_EQ(CountedInstrument::destroyed, 4);
            break;
        }
    }
}

TEST_F(RackTest, ClearEmptiesAndDestroys)
{
    Rack rack;
    fill(rack, 5);
    rack.clear();
    expectContents(rack, {});
    EXPECT_EQ(CountedInstrument::destroyed, 5);

    // The rack is usable again after clearing.
    std::vector<Instrument*> added = fill(rack, 2);
    expectContents(rack, added);
}
