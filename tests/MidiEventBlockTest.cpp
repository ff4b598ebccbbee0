// The adapters' MIDI block: it fills to its capacity and no further, keeps
// messages of one to three bytes only, and the engine reads it as a host's
// event list.
#include <gtest/gtest.h>

#include "MidiEventBlock.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEngine.h"

TEST(MidiEventBlock, HoldsUpToItsCapacityForTheEngine) {
    MidiEventBlock<4> block;
    EXPECT_TRUE(block.empty());
    const uint8_t fast[3] = {0xB0, 64, 127}, slow[3] = {0xB0, 64, 0};
    EXPECT_FALSE(block.add(fast, 0, 0));
    EXPECT_FALSE(block.add(fast, 4, 0));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(block.add(i % 2 ? slow : fast, 2, 10 * i)) << i;
    EXPECT_FALSE(block.add(fast, 3, 50));  // full
    ASSERT_EQ(block.events()->numEvents, 4);
    const auto* last = reinterpret_cast<const VstMidiEvent*>((&block.events()->events[0])[3]);
    EXPECT_EQ(last->deltaFrames, 30);
    EXPECT_EQ(last->midiData[2], 0);  // two bytes copied, the third left 0

    // Emptied and filled again, the block switches the engine to fast.
    SpeakerEngine engine(nullptr);
    engine.setSampleRate(44100.0f);
    engine.setParameter(kSpeedKey, kSpeakerDescriptor.parameters[kSpeedKey].toNormalized(kKeyCtrl64));
    float in[64] = {}, left[64], right[64];
    float* inputs[2] = {in, in};
    float* outputs[2] = {left, right};
    block.clear();
    EXPECT_TRUE(block.empty());
    ASSERT_TRUE(block.add(fast, 3, 5));
    engine.processEvents(block.events());
    engine.processReplacing(inputs, outputs, 64);
    EXPECT_EQ(engine.getParameter(kSpeedToggle), 1.0f);
}
