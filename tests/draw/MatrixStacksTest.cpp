#include "draw/MatrixStacks.h"
#include "draw/BackendKind.h"
#include "draw/Matrices.h"
#include "draw/View.h"
#include "platform/OffscreenDisplay.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using draw::Matrix;
using draw::MatrixStacks;

struct Transform {
    const char* name;
    std::function<void()> throughLayer;
    std::function<void(MatrixStacks&)> onStacks;
};

// The stacks kept on the processor make the matrices OpenGL and GLU make, for the transforms
// the demo uses, one after another on the same stack.
TEST(MatrixStacks, MakeTheMatricesOfOpenGlAndGlu) {
    OffscreenDisplay display;
    std::string error;
    ASSERT_TRUE(display.open(64, 64, error)) << error;
    const std::vector<Transform> transforms = {
        {"perspective", [] { draw::setPerspective(60.0, 4.0 / 3.0, 0.5, 200.0); },
         [](MatrixStacks& s) {
             s.select(draw::MatrixStack::projection);
             s.loadIdentity();
             s.perspective(60.0, 4.0 / 3.0, 0.5, 200.0);
             s.select(draw::MatrixStack::modelview);
             s.loadIdentity();
         }},
        {"look-at", [] { draw::lookAt(3.0, 4.0, 5.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0); },
         [](MatrixStacks& s) {
             s.lookAt({3.0, 4.0, 5.0}, {0.0, 1.0, 0.0}, {0.0, 1.0, 0.0});
         }},
        {"translate", [] { draw::translate(1.5f, -2.0f, 0.25f); },
         [](MatrixStacks& s) { s.translate(1.5, -2.0, 0.25); }},
        {"ortho", [] { draw::ortho(0.0, 800.0, 0.0, 600.0, -1.0, 1.0); },
         [](MatrixStacks& s) { s.ortho(0.0, 800.0, 0.0, 600.0, -1.0, 1.0); }},
    };
    draw::loadIdentity();
    MatrixStacks stacks;
    for (const Transform& transform : transforms) {
        transform.throughLayer();
        transform.onStacks(stacks);
        for (const auto stack : {draw::MatrixStack::modelview, draw::MatrixStack::projection}) {
            const Matrix expected = draw::currentMatrix(stack);
            const Matrix& actual = stacks.top(stack);
            for (std::size_t i = 0; i < 16; ++i) {
                EXPECT_NEAR(actual[i], expected[i], 1e-4f * (1.0f + std::abs(expected[i])))
                    << transform.name << ", element " << i;
            }
        }
    }
}

TEST(MatrixStacks, PushPopAndTheNormalMatrix) {
    MatrixStacks stacks;
    stacks.push();
    stacks.translate(1.0, 2.0, 3.0);
    stacks.pop();
    stacks.pop();
    EXPECT_EQ(stacks.top(draw::MatrixStack::modelview), MatrixStacks::identity());
    // A scale by 2, 4 and 5: normals go by the inverse.
    Matrix scale = MatrixStacks::identity();
    scale[0] = 2.0f;
    scale[5] = 4.0f;
    scale[10] = 5.0f;
    const std::array<float, 9> normal = MatrixStacks::normalMatrix(scale);
    EXPECT_FLOAT_EQ(normal[0], 0.5f);
    EXPECT_FLOAT_EQ(normal[4], 0.25f);
    EXPECT_FLOAT_EQ(normal[8], 0.2f);
    EXPECT_FLOAT_EQ(normal[1], 0.0f);
}

} // namespace
} // namespace velmorra
