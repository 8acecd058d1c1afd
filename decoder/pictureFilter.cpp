#include "pictureFilter.h"

#include <cstdio>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace decoder {

namespace {

// A named zscale value for the picture's own colour description; HDR material without one is
// BT.2020 in practice.
const char* MatrixName(const AVFrame& picture)
{
    switch (picture.colorspace) {
    case AVCOL_SPC_BT709:
        return "709";
    case AVCOL_SPC_BT2020_CL:
        return "2020_cl";
    default:
        return "2020_ncl";
    }
}

const char* PrimariesName(const AVFrame& picture)
{
    return picture.color_primaries == AVCOL_PRI_BT709 ? "709" : "2020";
}

}  // namespace

bool IsHighDynamicRange(const AVFrame& picture)
{
    return picture.color_trc == AVCOL_TRC_SMPTE2084 || picture.color_trc == AVCOL_TRC_ARIB_STD_B67;
}

std::string FilterChainFor(const AVFrame& picture, bool deinterlace)
{
    std::string chain;
    if (deinterlace) {
        // One picture out per picture in, at the same rate; pictures not flagged interlaced in a
        // mixed stream pass unchanged.
        chain = "bwdif=mode=send_frame:parity=auto:deint=interlaced";
    }
    if (IsHighDynamicRange(picture)) {
        // To linear light with 100 cd/m2 as 1.0, into BT.709 primaries, then the Mobius curve,
        // which keeps everything up to the knee as it is and rolls the highlights off, so that
        // diffuse white and colours stay where an SDR grade has them.
        const bool pq = picture.color_trc == AVCOL_TRC_SMPTE2084;
        const bool full = picture.color_range == AVCOL_RANGE_JPEG;
        char hdr[320];
        std::snprintf(hdr, sizeof hdr,
            "zscale=tin=%s:min=%s:pin=%s:rin=%s:t=linear:npl=100,format=gbrpf32le,zscale=p=709,"
            "tonemap=tonemap=mobius,zscale=t=709,format=gbrp",
            pq ? "smpte2084" : "arib-std-b67", MatrixName(picture), PrimariesName(picture), full ? "full" : "limited");
        if (!chain.empty())
            chain += ',';
        chain += hdr;
    }
    return chain;
}

bool PictureFilter::Build(const AVFrame& picture, const std::string& chain, AVRational timeBase)
{
    Reset();
    FilterGraphPtr graph(avfilter_graph_alloc());
    if (!graph)
        return false;
    // The filters spread their rows over the processor's cores.
    graph->nb_threads = 0;
    const AVRational aspect = picture.sample_aspect_ratio.num > 0 ? picture.sample_aspect_ratio : AVRational{1, 1};
    char arguments[256];
    std::snprintf(arguments, sizeof arguments, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
        picture.width, picture.height, picture.format, timeBase.num, timeBase.den, aspect.num, aspect.den);
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    if (avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", arguments, nullptr, graph.get()) < 0
        || avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph.get())
            < 0)
        return false;

    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    int result = -1;
    if (outputs != nullptr && inputs != nullptr) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink;
        result = avfilter_graph_parse_ptr(graph.get(), chain.c_str(), &inputs, &outputs, nullptr);
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (result < 0 || avfilter_graph_config(graph.get(), nullptr) < 0)
        return false;

    graph_ = std::move(graph);
    source_ = source;
    sink_ = sink;
    chain_ = chain;
    width_ = picture.width;
    height_ = picture.height;
    format_ = picture.format;
    timeBase_ = timeBase;
    return true;
}

bool PictureFilter::Push(const AVFrame& picture, const std::string& chain, AVRational timeBase)
{
    if ((!graph_ || flushed_ || chain != chain_ || picture.width != width_ || picture.height != height_
            || picture.format != format_)
        && !Build(picture, chain, timeBase))
        return false;
    // The graph takes its own reference; the decoder's picture stays untouched.
    if (av_buffersrc_add_frame_flags(source_, const_cast<AVFrame*>(&picture), AV_BUFFERSRC_FLAG_KEEP_REF) < 0) {
        Reset();
        return false;
    }
    return true;
}

void PictureFilter::Flush()
{
    // A graph that will not take the end gives out nothing more either way.
    if (graph_ && !flushed_ && av_buffersrc_add_frame_flags(source_, nullptr, 0) < 0)
        graph_.reset();
    flushed_ = true;
}

const AVFrame* PictureFilter::Pull()
{
    if (!graph_ || !output_)
        return nullptr;
    av_frame_unref(output_.get());
    if (av_buffersink_get_frame(sink_, output_.get()) < 0)
        return nullptr;
    // Deinterlacers count in half-picture steps; callers count in the stream's time base.
    if (output_->pts != AV_NOPTS_VALUE)
        output_->pts = av_rescale_q(output_->pts, av_buffersink_get_time_base(sink_), timeBase_);
    return output_.get();
}

void PictureFilter::Reset()
{
    if (output_)
        av_frame_unref(output_.get());
    graph_.reset();
    source_ = nullptr;
    sink_ = nullptr;
    chain_.clear();
    flushed_ = false;
}

}  // namespace decoder
