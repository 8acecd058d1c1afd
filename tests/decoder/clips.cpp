#include "clips.h"

#include <map>

namespace testing_support {

namespace {

const ClipRecipe kClips[] = {
    // One clip per container and codec of the open dialog's list.
    {"h264.mp4", "testsrc2=size=160x120:rate=25", 4, "-c:v libx264 -g 12 -bf 2 -pix_fmt yuv420p", ""},
    {"mpeg4.avi", "testsrc2=size=160x120:rate=25", 4, "-c:v mpeg4 -g 12 -bf 2", ""},
    {"msmpeg4.divx", "testsrc2=size=160x120:rate=25", 2, "-c:v msmpeg4", "-f avi"},
    {"mpeg1.mpeg", "testsrc2=size=160x120:rate=25", 2, "-c:v mpeg1video", "-f mpeg"},
    {"mpeg2.m2v", "testsrc2=size=160x120:rate=25", 2, "-c:v mpeg2video", "-f mpeg2video"},
    {"mpeg2.m2ts", "testsrc2=size=160x120:rate=25", 2, "-c:v mpeg2video", "-f mpegts -mpegts_m2ts_mode 1"},
    {"vp8.mkv", "testsrc2=size=160x120:rate=25", 4, "-c:v libvpx -b:v 400k -g 12", ""},
    {"wmv2.wmv", "testsrc2=size=160x120:rate=25", 2, "-c:v wmv2", ""},
    {"mjpeg.mov", "testsrc2=size=160x120:rate=25", 2, "-c:v mjpeg", ""},
    {"mpeg4.m4v", "testsrc2=size=160x120:rate=25", 2, "-c:v mpeg4", "-f m4v"},
    {"h263.3gp", "testsrc2=size=176x144:rate=25", 2, "-c:v h263", ""},
    {"flv1.flv", "testsrc2=size=160x120:rate=25", 2, "-c:v flv", ""},
    {"rv10.rm", "testsrc2=size=176x144:rate=25", 2, "-c:v rv10", ""},
    {"rv20.rmvb", "testsrc2=size=176x144:rate=25", 2, "-c:v rv20", "-f rm"},
    // Further containers the open dialog offers.
    {"vp9.webm", "testsrc2=size=160x120:rate=25", 2, "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 300k", ""},
    {"theora.ogv", "testsrc2=size=160x120:rate=25", 2, "-c:v libtheora -q:v 6", ""},
    {"pal.dv", "testsrc2=size=720x576:rate=25", 1, "-c:v dvvideo -pix_fmt yuv420p", ""},
    {"mpeg2.mxf", "testsrc2=size=720x576:rate=25", 1, "-c:v mpeg2video -b:v 4M", ""},
    {"raw.y4m", "testsrc2=size=160x120:rate=25", 1, "-pix_fmt yuv420p", ""},
    {"wmv2.asf", "testsrc2=size=160x120:rate=25", 2, "-c:v wmv2", ""},
    // Shapes and depths that trip up conversions.
    {"odd_size.mp4", "testsrc=size=101x75:rate=25", 2, "-c:v libx264 -pix_fmt yuv444p", ""},
    {"ten_bit.mkv", "testsrc2=size=160x120:rate=25", 2, "-c:v libx264 -pix_fmt yuv420p10le", ""},
    {"anamorphic_16x9.mpg", "testsrc2=size=720x576:rate=25", 1, "-c:v mpeg2video -aspect 16:9", "-f vob"},
    // Seeking in an MPEG program stream, and a transport stream whose clock starts at 10 s.
    {"program_stream.mpg", "testsrc2=size=160x120:rate=25", 4, "-c:v mpeg2video -g 12 -bf 2", "-f vob"},
    {"ts_start_10s.ts", "testsrc2=size=160x120:rate=25", 4, "-c:v mpeg2video -g 12", "-f mpegts -output_ts_offset 10"},
    // Groups of 20 pictures with pictures nothing refers to: H.264 with references among its B
    // pictures, in MP4 and as a transport stream, and HEVC with two temporal sub-layers.
    {"h264_pyramid.mp4", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx264 -preset medium -bf 3 -refs 3 -g 20 -keyint_min 20 -sc_threshold 0 -pix_fmt yuv420p", ""},
    {"h264_pyramid.ts", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx264 -preset medium -bf 3 -refs 3 -g 20 -keyint_min 20 -sc_threshold 0 -pix_fmt yuv420p", ""},
    // Groups of 100 with B pictures referred to only from their neighbours, two slices to a
    // picture and weighted prediction: the reference pictures a seek can do without.
    {"h264_standins.mp4", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx264 -preset veryfast -bf 3 -g 100 -keyint_min 100 -sc_threshold 0 -slices 2 -pix_fmt yuv420p", ""},
    {"h264_standins.ts", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx264 -preset veryfast -bf 3 -g 100 -keyint_min 100 -sc_threshold 0 -slices 2 -pix_fmt yuv420p", ""},
    // HEVC with referenced B pictures and open groups (leading pictures after each keyframe),
    // long enough for the order counts to wrap.
    {"hevc_pyramid.mp4", "testsrc2=size=320x240:rate=25", 12,
        "-c:v libx265 -preset ultrafast -x265-params log-level=error:keyint=100:min-keyint=100:scenecut=0:bframes=3:"
        "b-pyramid=1:open-gop=1 -pix_fmt yuv420p -tag:v hvc1", ""},
    {"hevc_layers.mp4", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx265 -x265-params log-level=error:keyint=20:min-keyint=20:scenecut=0:temporal-layers=1 "
        "-pix_fmt yuv420p -tag:v hvc1", ""},
    {"hevc_layers.ts", "testsrc2=size=320x240:rate=25", 6,
        "-c:v libx265 -x265-params log-level=error:keyint=20:min-keyint=20:scenecut=0:temporal-layers=1 "
        "-pix_fmt yuv420p", ""},
    // Colour: tagged BT.709, full range, and a 720p picture tagged and untagged.
    {"bt709.mp4", "testsrc2=size=320x180:rate=25", 1,
        "-c:v libx264 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 -color_trc bt709", ""},
    {"full_range.mp4", "testsrc2=size=320x180:rate=25", 1, "-c:v libx264 -pix_fmt yuv420p -color_range pc", ""},
    {"hd_bt709.mp4", "testsrc2=size=1280x720:rate=25", 1,
        "-frames:v 2 -c:v libx264 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 -color_trc bt709", ""},
    {"sd_bt601.mp4", "testsrc2=size=320x180:rate=25", 1, "-frames:v 2 -c:v libx264 -pix_fmt yuv420p -colorspace smpte170m", ""},
};

}  // namespace

const TempFolder& Folder()
{
    static const TempFolder folder;
    return folder;
}

DecoderModule& Module()
{
    static DecoderModule module(DECODER_MODULE_PATH);
    return module;
}

std::string Clip(const std::string& name)
{
    static std::map<std::string, std::string> made;
    if (const auto found = made.find(name); found != made.end())
        return found->second;
    std::string path;
    for (const ClipRecipe& recipe : kClips) {
        if (name == recipe.name) {
            path = Folder().File(recipe.name);
            if (!MakeClip(path, recipe.source, recipe.seconds, recipe.codec, recipe.muxer))
                path.clear();
        }
    }
    // The same pictures with the colour matrix tag cleared, bit stream otherwise untouched.
    if (name == "hd_untagged.mp4" || name == "sd_untagged.mp4") {
        const std::string tagged = Clip(name == "hd_untagged.mp4" ? "hd_bt709.mp4" : "sd_bt601.mp4");
        path = Folder().File(name);
        if (tagged.empty()
            || !Ffmpeg("-i " + Quoted(tagged) + " -c copy -bsf:v h264_metadata=matrix_coefficients=2 " + Quoted(path)))
            path.clear();
    }
    made[name] = path;
    return path;
}

}  // namespace testing_support
