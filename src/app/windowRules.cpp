#include "app/windowRules.h"

#include <algorithm>

namespace app {

WindowRect ClampMovingRect(WindowRect r, WindowSize current, WindowSize workArea)
{
    const int w = current.width;
    const int h = current.height;
    if (r.left <= 0) {
        r.left = 0;
        r.right = w;
    }
    if (r.right >= workArea.width) {
        r.left = workArea.width - w;
        r.right = workArea.width;
    }
    if (r.top <= 0) {
        r.top = 0;
        r.bottom = h;
    }
    if (r.top >= workArea.height - h) {
        r.top = workArea.height - h;
        r.bottom = r.top + h;
    }
    return r;
}

WindowRect ClampSizingRect(WindowRect r, WindowSize workArea)
{
    if (r.left <= 0)
        r.left = 0;
    if (r.top <= 0)
        r.top = 0;
    if (r.right >= workArea.width)
        r.right = workArea.width;
    if (r.bottom >= workArea.height)
        r.bottom = workArea.height;
    return r;
}

WindowSize ApplyMinTrackSize(WindowSize proposed)
{
    return {std::max(proposed.width, MinTrackSize.width),
            std::max(proposed.height, MinTrackSize.height)};
}

WindowSize MinClientSize(WindowSize opening, WindowSize frameExtra)
{
    return {std::min(opening.width, MinTrackSize.width - frameExtra.width),
            std::min(opening.height, MinTrackSize.height - frameExtra.height)};
}

}  // namespace app
