// The coefficients' shared record: copies whole, publishes only what a
// writer changed, so a change made meanwhile by another writer survives.
#include <gtest/gtest.h>

#include <cstddef>

#include "RelaxedRecord.h"

namespace {

struct alignas(8) Part {
    float a, b;
};
struct Sample {
    double x;
    Part part;
    double y;
};

}  // namespace

TEST(RelaxedRecord, AWriterPublishesOnlyTheWordsItChanged) {
    RelaxedRecord<Sample> record(Sample{1.0, {2.0f, 3.0f}, 4.0});
    record.update([&](Sample& mine) {
        // Another writer changes y while this one holds its copy.
        record.update([](Sample& theirs) { theirs.y = 40.0; });
        mine.x = 10.0;
    });
    const Sample now = record.load();
    EXPECT_EQ(now.x, 10.0);
    EXPECT_EQ(now.y, 40.0);
    EXPECT_EQ(now.part.a, 2.0f);
}

TEST(RelaxedRecord, PartsLoadAndUpdateAlone) {
    RelaxedRecord<Sample> record(Sample{1.0, {2.0f, 3.0f}, 4.0});
    record.updatePart<Part>(offsetof(Sample, part), [&](Part& part) {
        record.update([](Sample& theirs) { theirs.x = 5.0; });
        part.b = 30.0f;
    });
    const Part part = record.loadPart<Part>(offsetof(Sample, part));
    EXPECT_EQ(part.a, 2.0f);
    EXPECT_EQ(part.b, 30.0f);
    EXPECT_EQ(record.load().x, 5.0);
    EXPECT_EQ(record.load().y, 4.0);
}
