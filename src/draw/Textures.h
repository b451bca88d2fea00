#pragma once

namespace velmorra::draw {

enum class TextureFilter { nearest, linear, linearMipmapNearest };
enum class TextureWrap { repeat, clamp };
// How a texel combines with the fragment's colour.
enum class TextureMode { modulate, decal };

// A new texture name (0 when none could be made); deleting 0 or an unknown name does nothing.
unsigned int generateTexture();
void deleteTexture(unsigned int texture);
// The texture the calls below act on, and that texturing draws with.
void bindTexture(unsigned int texture);
// Both directions, s then t.
void textureWrap(TextureWrap wrap);
void magnificationFilter(TextureFilter filter);
void minificationFilter(TextureFilter filter);
// Byte alignment of the rows of pixels handed to the layer (images, glyph bitmaps).
void unpackAlignment(int bytes);
// Tightly packed 8-bit RGB rows, bottom-up: the one level, or the level with its whole
// mipmap chain (scaled to powers of two first when it is not already).
void uploadRgb(int width, int height, const unsigned char* pixels);
void uploadRgbMipmapped(int width, int height, const unsigned char* pixels);
// The largest side a texture may have; 0 without a context.
int maxTextureSize();

void textureMode(TextureMode mode);
// Texture coordinates s and t generated as a sphere map of the eye-space normal, wherever the
// texGenS and texGenT features are enabled.
void sphereMapTexGen();

} // namespace velmorra::draw
