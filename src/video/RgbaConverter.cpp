#include "video/RgbaConverter.h"

#include "video/AvError.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace velmorra {
namespace {

// Chroma positions are in 1/256 of a chroma sample: 0 = on the first luma sample, 128 = midway.
constexpr int leftSited = 0;
constexpr int centred = 128;

} // namespace

RgbaConverter::~RgbaConverter() {
    sws_freeContext(scaler);
    av_frame_free(&picture);
}

bool RgbaConverter::open(int pictureWidth, int pictureHeight, std::string& error) {
    width = pictureWidth;
    height = pictureHeight;
    scaler = sws_alloc_context();
    picture = av_frame_alloc();
    if (scaler == nullptr || picture == nullptr) {
        error = "out of memory for the colour conversion";
        return false;
    }
    av_opt_set_int(scaler, "srcw", width, 0);
    av_opt_set_int(scaler, "srch", height, 0);
    av_opt_set_int(scaler, "src_format", AV_PIX_FMT_RGBA, 0);
    av_opt_set_int(scaler, "dstw", width, 0);
    av_opt_set_int(scaler, "dsth", height, 0);
    av_opt_set_int(scaler, "dst_format", AV_PIX_FMT_YUV420P, 0);
    av_opt_set_int(scaler, "sws_flags", SWS_BILINEAR | SWS_FULL_CHR_H_INP | SWS_ACCURATE_RND, 0);
    av_opt_set_int(scaler, "dst_h_chr_pos", leftSited, 0);
    av_opt_set_int(scaler, "dst_v_chr_pos", centred, 0);
    const int initialised = sws_init_context(scaler, nullptr, nullptr);
    if (initialised < 0) {
        error = "cannot set up the colour conversion: " + avErrorText(initialised);
        return false;
    }
    const int fullRange = 1;
    const int limitedRange = 0;
    const int unity = 1 << 16;
    sws_setColorspaceDetails(scaler, sws_getCoefficients(SWS_CS_ITU709), fullRange,
                             sws_getCoefficients(SWS_CS_ITU709), limitedRange, 0, unity, unity);

    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = width;
    picture->height = height;
    const int allocated = av_frame_get_buffer(picture, 0);
    if (allocated < 0) {
        error = "out of memory for a " + std::to_string(width) + "x" + std::to_string(height) +
                " picture";
        return false;
    }
    return true;
}

const AVFrame* RgbaConverter::convert(const std::uint8_t* rgbaBottomUp, std::string& error) {
    // The encoder may still hold the previous picture; then this gives a fresh buffer.
    const int writable = av_frame_make_writable(picture);
    if (writable < 0) {
        error = "out of memory for a picture: " + avErrorText(writable);
        return nullptr;
    }
    const int rowBytes = width * 4;
    const std::uint8_t* const topRow[] = {rgbaBottomUp + static_cast<std::ptrdiff_t>(height - 1) * rowBytes};
    const int upwardStride[] = {-rowBytes};
    sws_scale(scaler, topRow, upwardStride, 0, height, picture->data, picture->linesize);
    return picture;
}

} // namespace velmorra
