#include "app/keyCommands.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace app {

KeyCommand KeyCommandFor(int key, Qt::KeyboardModifiers modifiers)
{
    // Arrow keys come with the keypad flag on some keyboards.
    const bool shift = (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Space:
        return KeyCommand::PlayOrPause;
    case Qt::Key_Right:
        return shift ? KeyCommand::SecondForward : KeyCommand::Step;
    case Qt::Key_Left:
        return shift ? KeyCommand::SecondBack : KeyCommand::StepBack;
    case Qt::Key_Home:
        return KeyCommand::FirstFrame;
    case Qt::Key_End:
        return KeyCommand::LastFrame;
    default:
        return KeyCommand::None;
    }
}

bool TakesTypedKeys(const QWidget* widget)
{
    if (widget == nullptr)
        return false;
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    return qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

}  // namespace app
