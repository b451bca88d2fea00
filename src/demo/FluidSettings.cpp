#include "demo/FluidSettings.h"

#include "fluid/FluidElement.h"

namespace velmorra {

void FluidSettings::applyTo(FluidElement& fluid) const {
    fluid.setAmbient(ambient.r, ambient.g, ambient.b, ambient.a);
    fluid.setDiffuse(diffuse.r, diffuse.g, diffuse.b, diffuse.a);
    fluid.setSpecular(specular.r, specular.g, specular.b, specular.a);
    fluid.setEmission(emission.r, emission.g, emission.b, emission.a);
    fluid.setIsoLevel(isoLevel);
    fluid.setGravity(gravity[0], gravity[1], gravity[2]);
    fluid.setMass(mass);
    fluid.setRestDistance(restDistance);
    fluid.setDamping(damping);
    fluid.setBounds(bounds[0], bounds[1], bounds[2], bounds[3], bounds[4], bounds[5]);
    fluid.setTexture(texture);
}

} // namespace velmorra
