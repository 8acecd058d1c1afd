#pragma once

#include <Qt>

class QWidget;

namespace app {

// The playback keys the main window sees before the focused control.
enum class KeyCommand {
    None,
    PlayOrPause,    // Space
    Step,           // Right
    StepBack,       // Left
    SecondForward,  // Shift+Right
    SecondBack,     // Shift+Left
    FirstFrame,     // Home
    LastFrame,      // End
};

KeyCommand KeyCommandFor(int key, Qt::KeyboardModifiers modifiers);

// A control that takes typed text: the playback keys are left to it.
bool TakesTypedKeys(const QWidget* widget);

}  // namespace app
