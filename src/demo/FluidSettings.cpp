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
    fluid.setBounds(bounds.x.low, bounds.x.high, bounds.y.low, bounds.y.high, bounds.z.low,
                    bounds.z.high);
    fluid.setTexture(texture);
}

} // namespace velmorra
