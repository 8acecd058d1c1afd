#include "app/commandState.h"

#include <gtest/gtest.h>

namespace {

using app::CommandState;
using app::CommandStateFor;

TEST(FormatTimestamp, ZeroTextIsTheFixedPattern)
{
    EXPECT_EQ(app::ZeroTimestamp(), "timestamp: 00:00:00/00:00:00");
}

TEST(CommandState, FollowsThePlayState)
{
    struct Row {
        TPlayState state;
        bool play, pause, transport, playVisible, playEnabled, pauseVisible, pauseEnabled, stop, slider,
            reset;
        CommandState::Timestamp timestamp;
    };
    using T = CommandState::Timestamp;
    const Row rows[] = {
        {psNoFile, false, false, false, true, false, false, false, false, false, true, T::Zero},
        {psOpened, true, false, false, true, true, false, false, false, true, true, T::Current},
        {psPlaying, false, true, true, false, false, true, true, true, true, false, T::Keep},
        // Stopped shows the frame on display, not zeros.
        {psStopped, true, false, false, true, true, false, false, false, true, true, T::Current},
        {psPaused, true, false, true, true, true, false, false, true, true, false, T::Keep},
    };
    for (const Row& r : rows) {
        const CommandState s = CommandStateFor(r.state);
        SCOPED_TRACE(static_cast<int>(r.state));
        EXPECT_EQ(s.play, r.play);
        EXPECT_EQ(s.pause, r.pause);
        EXPECT_EQ(s.transport, r.transport);
        EXPECT_EQ(s.playButtonVisible, r.playVisible);
        EXPECT_EQ(s.playButtonEnabled, r.playEnabled);
        EXPECT_EQ(s.pauseButtonVisible, r.pauseVisible);
        EXPECT_EQ(s.pauseButtonEnabled, r.pauseEnabled);
        EXPECT_EQ(s.stopButton, r.stop);
        EXPECT_EQ(s.slider, r.slider);
        EXPECT_EQ(s.resetSlider, r.reset);
        EXPECT_EQ(s.timestamp, r.timestamp);
        // Exactly one of the play and pause buttons shows.
        EXPECT_NE(s.playButtonVisible, s.pauseButtonVisible);
    }
}

}  // namespace
