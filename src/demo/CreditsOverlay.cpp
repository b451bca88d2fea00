#include "demo/CreditsOverlay.h"

#include "demo/DemoState.h"
#include "demo/TexQuad2D.h"
#include "engine/Renderer.h"

namespace velmorra {

namespace {

struct CreditsLine {
    int offset;
    const char* text;
};

constexpr int creditsLeft = 40;

constexpr CreditsLine creditsLines[] = {
    {20, "Velmorra - Tarnwyk Divarov Vorivaz"},
    {40, "A Korblint2002 production"},
    {100, "Features fluid simulation by means of particle systems and"},
    {120, "scalar field polygonisation with the marching cubes algorithm"},
    {140, "Additional: starfield and 3ds meshes"},
    {200, "Thanks to all the people that helped me in various ways (testing,"},
    {220, "discussions), explicitly to Tessaly for his online article"},
    {240, "about marching cubes algorithm."},
    {300, "Bug report, comments and other:"},
    {320, "tarnwyk.vorivaz@velmorra.example"},
    {380, "See you again..."},
};

} // namespace

void creditsOverlay() {
    const DemoState& state = demoState();
    for (const auto& quad : state.quads) {
        if (quad) {
            quad->draw();
        }
    }
    if (!state.showCredits) {
        return;
    }
    const Font& font = Renderer::instance().getFont();
    for (const CreditsLine& line : creditsLines) {
        font.print(creditsLeft, state.creditsScroll - line.offset, "%s", line.text);
    }
}

} // namespace velmorra
