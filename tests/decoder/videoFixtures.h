#pragma once

// Test videos made with the ffmpeg tool into a private temporary folder, and reference
// decodes and probes by the same tools to compare the module against.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A folder under $TMPDIR (else /tmp) that is removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs "ffmpeg -v error -nostdin -y <arguments>"; true on success.
bool Ffmpeg(const std::string& arguments);
// Output of "ffprobe -v error <arguments>", trimmed.
std::string Ffprobe(const std::string& arguments);
std::string Quoted(const std::string& text);

// A moving test pattern at 25 frames per second, e.g. Pattern("160x120").
std::string Pattern(const std::string& size, const std::string& source = "testsrc2");
// Makes a clip `seconds` long from a lavfi source; `codec` holds the encoder options, `muxer`
// the output options.
bool MakeClip(const std::string& path, const std::string& source, int seconds, const std::string& codec,
    const std::string& muxer = {});

// A 96 x 64 clip of four flat quarters (red top left, green top right, blue bottom left, white
// bottom right): H.264 in MP4, 2 s at 25 pictures a second, a keyframe every 10.
bool MakeQuarterClip(const std::string& path);
// Writes `target`: the MP4 `source` with its first track's display matrix replaced by the
// right-angle one a phone writes, entries a, b, c, d each -1, 0 or 1 (a stored point (p, q)
// shows at (a p + c q, b p + d q)).
bool WithDisplayMatrix(const std::string& source, const std::string& target, int a, int b, int c, int d);

// 32-bit pixels (bytes B, G, R, A) of pictures decoded by the ffmpeg tool, as many as it gives,
// top row first; `seekSeconds` >= 0 selects the first picture at or after that time with an
// output-side seek (a straight decode from the start).
std::vector<std::vector<std::uint8_t>> ReferencePictures(const std::string& path, int width, int height,
    int seekSeconds = -1, int maxPictures = 0);

// Mean and largest difference of the colour bytes (the fourth byte is not compared).
struct PictureDifference {
    double mean = 0;
    int largest = 0;
};
PictureDifference Compare(const std::uint8_t* pixels, const std::vector<std::uint8_t>& reference);

std::vector<std::uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace testing_support
