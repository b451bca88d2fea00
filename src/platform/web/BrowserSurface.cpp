#include "platform/BrowserSurface.h"

#include "platform/Log.h"
#include "platform/StartView.h"
#include "draw/BackendKind.h"

#include <emscripten/html5.h>

#include <array>
#include <cstring>
#include <string_view>
#include <utility>

namespace velmorra {

namespace {

constexpr const char* canvas = "#canvas";

// The keys the window procedure names, by their DOM codes: arrows 60-63, F1-F12 64-75.
int namedSlot(std::string_view code) {
    constexpr std::array<std::string_view, 4> arrows = {"ArrowUp", "ArrowDown", "ArrowLeft",
                                                        "ArrowRight"};
    for (std::size_t i = 0; i < arrows.size(); ++i) {
        if (code == arrows[i]) {
            return 60 + static_cast<int>(i);
        }
    }
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F') {
        int number = 0;
        for (const char digit : code.substr(1)) {
            if (digit < '0' || digit > '9') {
                return -1;
            }
            number = number * 10 + (digit - '0');
        }
        return number >= 1 && number <= 12 ? 63 + number : -1;
    }
    return -1;
}

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void* surface) {
    static_cast<BrowserSurface*>(surface)->keyEvent(event->code,
                                                    eventType == EMSCRIPTEN_EVENT_KEYDOWN);
    return EM_FALSE;
}

void listenToKeys(BrowserSurface* surface) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, surface, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, surface, EM_FALSE, onKey);
}

void stopListening() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, nullptr);
}

} // namespace

BrowserSurface::~BrowserSurface() {
    close();
}

bool BrowserSurface::open(int width, int height, std::string& error) {
    emscripten_set_canvas_element_size(canvas, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // A held frame stays readable (toDataURL) after the animation frame that drew it.
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    write("Creating a WebGL context on the page's canvas (%dx%d)... ", width, height);
    context = emscripten_webgl_create_context(canvas, &attributes);
    if (context <= 0) {
        write("failed.\n\n");
        error = "this browser offers no WebGL on the page's canvas";
        context = 0;
        return false;
    }
    emscripten_webgl_make_context_current(context);
    write("ok.\n");
    if (!draw::startContext(draw::BackendKind::gles2, error)) {
        write("Starting the drawing backend... failed: %s\n\n", error.c_str());
        close();
        return false;
    }
    applyStartView(width, height);
    listenToKeys(this);
    write("\n-- WebGL display ENABLED (%dx%d) --\n\n", width, height);
    return true;
}

void BrowserSurface::close() {
    if (context == 0) {
        return;
    }
    stopListening();
    draw::endContext();
    emscripten_webgl_destroy_context(context);
    context = 0;
    write("\n-- WebGL display DISABLED --\n\n");
}

void* BrowserSurface::getProcAddress(const char* /*name*/) const {
    // WebGL 1 has no multitexturing entry points to look up.
    return nullptr;
}

void BrowserSurface::present() {
    pacedClock.frameShown();
}

void BrowserSurface::waitForNextFrame(const Timer& /*frameTimer*/, float /*periodMs*/) const {}

void BrowserSurface::keyEvent(const char* code, bool down) {
    Message message;
    message.kind = down ? Message::Kind::KeyDown : Message::Kind::KeyUp;
    message.escape = std::strcmp(code, "Escape") == 0;
    message.namedSlot = namedSlot(code);
    keys.push_back(message);
}

bool BrowserSurface::pollEvent(Message& message) {
    if (keys.empty()) {
        return false;
    }
    message = keys.front();
    keys.pop_front();
    return true;
}

} // namespace velmorra
