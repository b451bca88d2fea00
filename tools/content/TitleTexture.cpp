#include "content/TitleTexture.h"

namespace velmorra::tools {

namespace {

constexpr float haloStrength = 0.35f;
constexpr int haloRadius = 3;

} // namespace

const char* TitleTexture::bandText(int band) {
    static const char* const texts[] = {"VELMORRA", "Korblint2002 presents", "free fall",
                                        "fill the cup"};
    return texts[band];
}

Canvas TitleTexture::paint(const TextRasterizer& titleFont, const TextRasterizer& captionFont) {
    Canvas canvas(width, height);
    const int fitWidth = width - 2 * margin - 2 * haloRadius * 3;
    const int fitHeight = bandHeight - 2 * margin - 2 * haloRadius * 3;
    paintBand(canvas, 0, titleFont.renderToFit(bandText(0), fitWidth, fitHeight, 12));
    paintBand(canvas, 1, captionFont.renderToFit(bandText(1), fitWidth, fitHeight));
    paintBand(canvas, 2, titleFont.renderToFit(bandText(2), fitWidth, fitHeight, 6));
    paintBand(canvas, 3, captionFont.renderToFit(bandText(3), fitWidth, fitHeight));
    return canvas;
}

// Centred in its band, with a faint halo that softens the letters when the quad is enlarged.
void TitleTexture::paintBand(Canvas& canvas, int band, const CoverageMask& lettering) {
    const CoverageMask padded = lettering.padded(haloRadius * 3);
    const CoverageMask halo = padded.blurred(haloRadius);
    const int left = (width - padded.getWidth()) / 2;
    const int top = band * bandHeight + (bandHeight - padded.getHeight()) / 2;
    for (int y = 0; y < padded.getHeight(); ++y) {
        for (int x = 0; x < padded.getWidth(); ++x) {
            const float level = std::max(padded.at(x, y), halo.at(x, y) * haloStrength);
            canvas.set(left + x, top + y, Rgb::grey(level));
        }
    }
}

} // namespace velmorra::tools
