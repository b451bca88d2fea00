#include "render/Material.h"

#include "draw/Lighting.h"

namespace velmorra {

namespace {

void setMaterialColor(draw::MaterialParameter parameter, const Color& color) {
    const float values[4] = {color.r, color.g, color.b, color.a};
    draw::materialVector(parameter, values);
}

} // namespace

// The colour defaults are OpenGL's own; the shininess is not (OpenGL's is 0).
Material::Material() {
    ambient.set(0.2f, 0.2f, 0.2f, 1.0f);
    diffuse.set(0.8f, 0.8f, 0.8f, 1.0f);
    specular.set(0.0f, 0.0f, 0.0f, 1.0f);
    emission.set(0.0f, 0.0f, 0.0f, 1.0f);
}

Material::~Material() {
    releaseTextures();
}

void Material::setAmbient(float r, float g, float b, float a) {
    ambient.set(r, g, b, a);
}

void Material::setDiffuse(float r, float g, float b, float a) {
    diffuse.set(r, g, b, a);
}

void Material::setSpecular(float r, float g, float b, float a) {
    specular.set(r, g, b, a);
}

void Material::setEmission(float r, float g, float b, float a) {
    emission.set(r, g, b, a);
}

bool Material::loadTexture(const std::string& fileName, int filter) {
    return textures[0].load(fileName, filter);
}

void Material::apply() const {
    using draw::MaterialParameter;
    draw::materialFloat(MaterialParameter::shininess, shininess);
    setMaterialColor(MaterialParameter::ambient, ambient);
    setMaterialColor(MaterialParameter::diffuse, diffuse);
    setMaterialColor(MaterialParameter::specular, specular);
    setMaterialColor(MaterialParameter::emission, emission);
}

void Material::bindTexture() const {
    textures[0].bind();
}

void Material::releaseTextures() {
    for (Texture& texture : textures) {
        texture.release();
    }
}

} // namespace velmorra
