#pragma once

class QWidget;
class TListManager;

// What the user hears of the index being written: a save after a change that failed, and the
// last save at close, which is retried until it works or the user gives it up.
namespace library {

// Writes the index after a change of the library; a failure is shown in a message box over
// `owner` with the index's path and the reason. The library stays in memory either way.
bool SaveChange(QWidget* owner, TListManager& store);

// The save at close: while it fails, asks whether to retry or quit without it. Afterwards the
// store writes nothing more when it is destroyed.
void SaveAtClose(QWidget* owner, TListManager& store);

}  // namespace library
