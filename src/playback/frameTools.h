#pragma once

class QImage;
class QWidget;

// The current-frame tools: view the frame on display in a zoomable window, save it to a picture
// file, copy it to the clipboard. Pausing around them is the caller's business.
namespace playback {

class TPlayManager;

// The frame viewer over `owner`, shown modally. Only while no play thread runs.
void ViewFrame(QWidget* owner, TPlayManager& player);
// Asks for a file name and writes the current frame there as 24-bit BMP, JPEG (quality 80) or
// PNG, by the filter chosen; the filter's extension is appended unless the name has it, in any
// case. A write that fails is reported in a message box naming the file. Only while no play
// thread runs.
void SaveFrame(QWidget* owner, TPlayManager& player);
// Puts the frame on the clipboard as the viewer shows it, its height corrected to the display
// aspect, as PNG and as Qt's image format. While playing, the frame at the size the panel holds
// it, copied whole.
void CopyFrame(TPlayManager& player);

// The frame brought to the display aspect: the width kept, the height width / aspect to the
// nearest integer (halves to even), by a bicubic rescale; unchanged when the aspect is unknown
// or already matches.
QImage DisplayFrame(const QImage& frame, double aspect);

}  // namespace playback
