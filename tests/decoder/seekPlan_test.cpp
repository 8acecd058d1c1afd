// The seek plan on its own: what it puts in place of the pictures it does without must decode
// as the pictures they are meant to be. A stand-in the decoder refused would still leave every
// shown picture right (the decoder fills the gap itself, slowly), so only this sees it.

#include <gtest/gtest.h>

#include <vector>

#include "bitstream.h"
#include "clips.h"
#include "seekPlan.h"

using decoder::BitReader;
using decoder::BitWriter;
using decoder::FramePtr;
using decoder::PacketPtr;
using decoder::SeekPlan;
using testing_support::Clip;

TEST(Bitstream, GuardsAgainstStartCodesAndReadsBackWhatWasWritten)
{
    BitWriter writer;
    writer.Bits(0x65, 8);
    writer.Bits(0, 24);  // three zero bytes: a start code in the making
    writer.Unsigned(0);
    writer.Unsigned(1234567);
    writer.Signed(-42);
    writer.Bits(1, 2);
    const std::vector<std::uint8_t> unit = writer.Unit();
    for (std::size_t i = 2; i < unit.size(); ++i)
        EXPECT_FALSE(unit[i - 2] == 0 && unit[i - 1] == 0 && unit[i] <= 2) << i;

    BitReader reader(unit.data(), static_cast<int>(unit.size()));
    EXPECT_EQ(reader.Bits(8), 0x65u);
    EXPECT_EQ(reader.Bits(24), 0u);
    EXPECT_EQ(reader.Unsigned(), 0u);
    EXPECT_EQ(reader.Unsigned(), 1234567u);
    EXPECT_EQ(reader.Signed(), -42);
    EXPECT_EQ(reader.Bits(2), 1u);
    EXPECT_EQ(reader.Bit(), 1u);  // the stop bit
    EXPECT_FALSE(reader.Overrun());
}

namespace {

struct Decoded {
    int planned = 0;   // packets sent
    int replaced = 0;  // of them stand-ins or left out
    int pictures = 0;  // pictures the decoder gave back, without errors
    int damaged = 0;
};

// The first group of the clip planned for a target `pictures` in, then decoded on one thread.
Decoded PlanAndDecode(const std::string& path, int pictures)
{
    Decoded result;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return result;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> format(
        raw, [](AVFormatContext* context) { avformat_close_input(&context); });
    avformat_find_stream_info(raw, nullptr);
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVStream* stream = raw->streams[index];
    std::unique_ptr<SeekPlan> plan = SeekPlan::For(*stream->codecpar);
    if (!plan)
        return result;

    std::vector<PacketPtr> packets;
    for (;;) {
        PacketPtr packet(av_packet_alloc());
        if (av_read_frame(raw, packet.get()) < 0)
            break;
        if (packet->stream_index == index)
            packets.push_back(std::move(packet));
    }
    if (packets.empty() || !plan->StartsGroup(*packets.front()))
        return result;
    const std::int64_t frame = av_rescale_q(1, av_inv_q(stream->avg_frame_rate), stream->time_base);
    plan->Begin(packets.front()->pts + pictures * frame);
    std::size_t read = 0;
    while (read < packets.size() && !plan->Complete())
        plan->Add(*packets[read++]);
    packets.resize(read);
    result.replaced = plan->Replace(packets);

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    decoder::CodecContextPtr context(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(context.get(), stream->codecpar);
    context->thread_count = 1;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return result;
    FramePtr picture(av_frame_alloc());
    const auto receive = [&] {
        while (avcodec_receive_frame(context.get(), picture.get()) == 0) {
            ++(picture->decode_error_flags != 0 ? result.damaged : result.pictures);
            av_frame_unref(picture.get());
        }
    };
    for (const PacketPtr& packet : packets) {
        if (!packet)
            continue;
        ++result.planned;
        avcodec_send_packet(context.get(), packet.get());
        receive();
    }
    avcodec_send_packet(context.get(), nullptr);
    receive();
    return result;
}

}  // namespace

// H.264 stand-ins are pictures of their own: each comes back from the decoder like the picture it
// stands for. Were one refused, the decoder would fill the gap with a copy it does not hand out.
TEST(SeekPlan, H264StandInsDecodeAsPicturesOfTheirOwn)
{
    const Decoded decoded = PlanAndDecode(Clip("h264_standins.mp4"), 60);
    EXPECT_GT(decoded.replaced, 10);
    EXPECT_EQ(decoded.damaged, 0);
    EXPECT_EQ(decoded.pictures, decoded.planned);
}
