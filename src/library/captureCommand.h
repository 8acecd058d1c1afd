#pragma once

#include <functional>
#include <string>

class QWidget;
struct TImageLibraryItemData;

namespace imaging {
class TFastDIB;
}

namespace library {

// One capture from the frame on display: the new-image dialog over `owner` with the frame's
// preview, and on OK the two files in imageFolder and the new item handed to addItem. A save
// that fails is reported in a message box and adds nothing. `frame` is adjusted in place.
void CaptureFrame(QWidget* owner, imaging::TFastDIB& frame, double aspect, const std::string& imageFolder,
    const std::function<void(const TImageLibraryItemData&)>& addItem);

}  // namespace library
