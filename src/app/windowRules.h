#pragma once

// Rules that keep the main window on the screen's work area. They work on window rectangles
// given as left, top, right, bottom in work-area coordinates (the work area's top-left is 0, 0
// and its width and height are the rightmost and lowest coordinates).

namespace app {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

struct WindowSize {
    int width = 0;
    int height = 0;

    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// The smallest outer size the main window may be given.
constexpr WindowSize MinTrackSize{900, 600};

// A proposed position for a window being moved; `current` is the window's present outer size
// and `workArea` the work area's size. The steps run in order, so a window taller than the work
// area ends up with its top at AH - H.
WindowRect ClampMovingRect(WindowRect proposed, WindowSize current, WindowSize workArea);

// A proposed rectangle for a window being sized: no edge beyond the work area.
WindowRect ClampSizingRect(WindowRect proposed, WindowSize workArea);

// The outer size after the minimum tracking size is applied.
WindowSize ApplyMinTrackSize(WindowSize proposed);

// The smallest client size for a window whose frame adds `frameExtra` to its client size: the
// outer size stays at least MinTrackSize, but the window may always keep the client size it
// opens with (`opening`), on a frame of any thickness, or none.
WindowSize MinClientSize(WindowSize opening, WindowSize frameExtra);

}  // namespace app
