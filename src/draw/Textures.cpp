#include "draw/Textures.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

unsigned int generateTexture() {
    return activeBackend().generateTexture();
}

void deleteTexture(unsigned int texture) {
    activeBackend().deleteTexture(texture);
}

void bindTexture(unsigned int texture) {
    activeBackend().bindTexture(texture);
}

void textureWrap(TextureWrap wrap) {
    activeBackend().textureWrap(wrap);
}

void magnificationFilter(TextureFilter filter) {
    activeBackend().magnificationFilter(filter);
}

void minificationFilter(TextureFilter filter) {
    activeBackend().minificationFilter(filter);
}

void unpackAlignment(int bytes) {
    activeBackend().unpackAlignment(bytes);
}

void uploadRgb(int width, int height, const unsigned char* pixels) {
    activeBackend().uploadRgb(width, height, pixels);
}

void uploadRgbMipmapped(int width, int height, const unsigned char* pixels) {
    activeBackend().uploadRgbMipmapped(width, height, pixels);
}

int maxTextureSize() {
    return activeBackend().maxTextureSize();
}

void textureMode(TextureMode mode) {
    activeBackend().textureMode(mode);
}

void sphereMapTexGen() {
    activeBackend().sphereMapTexGen();
}

} // namespace velmorra::draw
