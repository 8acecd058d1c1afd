#pragma once

#include "ffmpegHandles.h"

extern "C" {
#include <libavfilter/avfilter.h>
}

#include <memory>
#include <string>

namespace decoder {

struct FilterGraphDeleter {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

// True for pictures in a high-dynamic-range transfer (PQ or HLG).
bool IsHighDynamicRange(const AVFrame& picture);

// The filters a picture needs before it is shown: bwdif when `deinterlace`, a tone mapping to
// BT.709 for HDR. Empty when the picture is shown as decoded.
std::string FilterChainFor(const AVFrame& picture, bool deinterlace);

// One libavfilter chain that decoded pictures pass through in order. The graph is built for the
// first picture and again when the chain or the picture's size or format changes. Output
// pictures keep their input's pts in the time base given to Push.
class PictureFilter {
public:
    // False when the graph cannot be built or refuses the picture.
    bool Push(const AVFrame& picture, const std::string& chain, AVRational timeBase);
    // Tells the graph the stream ended, so it gives out the pictures it still holds.
    void Flush();
    // The next filtered picture, or null until more input (or the flush) arrives. Valid until
    // the next call.
    const AVFrame* Pull();
    // Forgets the graph and every picture in it (after a seek).
    void Reset();

    bool Active() const { return graph_ != nullptr; }
    bool Flushed() const { return flushed_; }

private:
    bool Build(const AVFrame& picture, const std::string& chain, AVRational timeBase);

    FilterGraphPtr graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    std::string chain_;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    AVRational timeBase_{1, 1};
    bool flushed_ = false;
    FramePtr output_{av_frame_alloc()};
};

}  // namespace decoder
