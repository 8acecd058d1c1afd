#pragma once

// Two videos of the frame-tool and capture tests, made once per run: 720 x 576 MPEG-2 flagged
// 16:9, and 640 x 480 MPEG-4 at 4:3, both 6 s at 25 frames a second.

#include <string>

#include "videoFixtures.h"

namespace testing_support {

struct AspectVideos {
    TempFolder folder;
    std::string wide = folder.File("wide 16x9.mpg");
    std::string standard = folder.File("four by three.avi");
    bool made = false;

    AspectVideos()
    {
        made = MakeClip(wide, "testsrc2=size=720x576:rate=25", 6, "-c:v mpeg2video -aspect 16:9 -q:v 4", "-f vob")
               && MakeClip(standard, "testsrc2=size=640x480:rate=25", 6, "-c:v mpeg4 -q:v 3 -g 25");
    }
};

inline AspectVideos& Clips()
{
    static AspectVideos videos;
    return videos;
}

}  // namespace testing_support
