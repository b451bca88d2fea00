#include "draw/FixedFunctionShaders.h"

namespace velmorra::draw {

const char* const fixedFunctionVertexShader = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec2 aTexCoord;
attribute vec4 aColor;
attribute vec3 aFlatPosition;
attribute vec3 aFlatNormal;
attribute vec4 aFlatColor;

uniform mat4 uModelview;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform mat4 uTextureMatrix;
uniform bool uFlat;
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uColorMaterial;
uniform bool uSphereMap;
uniform bool uLocalViewer;
uniform float uPointSize;
uniform bool uRoundPoints;
uniform vec4 uViewport;

uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmission;
uniform float uShininess;
uniform vec4 uSceneAmbient;

uniform bool uLightOn[8];
uniform vec4 uLightPosition[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec3 uSpotDirection[8];
uniform float uSpotExponent[8];
uniform float uSpotCosCutoff[8];
uniform vec3 uAttenuation[8];

varying vec4 vColor;
varying vec2 vTexCoord;
varying vec2 vPointCentre;

vec3 eyeNormal(vec3 normal) {
    vec3 n = uNormalMatrix * normal;
    if (uNormalize) {
        float length2 = dot(n, n);
        n = length2 > 0.0 ? n * inversesqrt(length2) : n;
    }
    return n;
}

float specularPower(float nDotH) {
    if (uShininess == 0.0) {
        return 1.0;
    }
    return nDotH > 0.0 ? pow(nDotH, uShininess) : 0.0;
}

vec4 lit(vec3 vertex, vec3 n, vec4 color) {
    vec4 ambient = uColorMaterial ? color : uMaterialAmbient;
    vec4 diffuse = uColorMaterial ? color : uMaterialDiffuse;
    vec3 sum = uMaterialEmission.rgb + ambient.rgb * uSceneAmbient.rgb;
    for (int i = 0; i < 8; ++i) {
        if (!uLightOn[i]) {
            continue;
        }
        vec3 toLight;
        float factor = 1.0;
        if (uLightPosition[i].w != 0.0) {
            toLight = uLightPosition[i].xyz / uLightPosition[i].w - vertex;
            float distance = length(toLight);
            toLight = distance > 0.0 ? toLight / distance : toLight;
            factor = 1.0 / (uAttenuation[i].x + uAttenuation[i].y * distance +
                            uAttenuation[i].z * distance * distance);
        } else {
            toLight = normalize(uLightPosition[i].xyz);
        }
        if (uSpotCosCutoff[i] >= -1.0) {
            float spot = dot(-toLight, normalize(uSpotDirection[i]));
            factor *= spot >= uSpotCosCutoff[i] ? (uSpotExponent[i] == 0.0 ? 1.0 : pow(max(spot, 0.0), uSpotExponent[i])) : 0.0;
        }
        float nDotL = dot(n, toLight);
        vec3 term = uLightAmbient[i].rgb * ambient.rgb;
        if (nDotL > 0.0) {
            term += nDotL * uLightDiffuse[i].rgb * diffuse.rgb;
            vec3 viewer = uLocalViewer ? normalize(-vertex) : vec3(0.0, 0.0, 1.0);
            vec3 halfway = normalize(toLight + viewer);
            term += specularPower(dot(n, halfway)) * uLightSpecular[i].rgb * uMaterialSpecular.rgb;
        }
        sum += factor * term;
    }
    return vec4(clamp(sum, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}

vec2 sphereMap(vec3 vertex, vec3 n) {
    vec3 u = normalize(vertex);
    vec3 r = u - 2.0 * n * dot(n, u);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    return m > 0.0 ? r.xy / m + 0.5 : vec2(0.5);
}

void main() {
    vec4 eye = uModelview * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    // A square point is as wide as its size rounded, as the fixed pipeline draws it; a
    // smooth one gets a square with room around its circle, which the fragments cut out.
    gl_PointSize = uRoundPoints ? max(uPointSize, 2.0) + 2.0 : floor(uPointSize + 0.5);
    vPointCentre = uViewport.xy + (gl_Position.xy / gl_Position.w * 0.5 + 0.5) * uViewport.zw;
    vec4 color = uFlat ? aFlatColor : aColor;
    if (uLighting) {
        vec3 vertex = uFlat ? (uModelview * vec4(aFlatPosition, 1.0)).xyz : eye.xyz;
        color = lit(vertex, eyeNormal(uFlat ? aFlatNormal : aNormal), color);
    }
    vColor = color;
    vec4 texCoord = vec4(aTexCoord, 0.0, 1.0);
    if (uSphereMap) {
        texCoord.xy = sphereMap(eye.xyz, eyeNormal(aNormal));
    }
    vTexCoord = (uTextureMatrix * texCoord).xy;
}
)";

const char* const fixedFunctionFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif

uniform bool uTexturing;
uniform bool uDecal;
uniform bool uRoundPoints;
uniform bool uGlyph;
uniform float uPointSize;
uniform sampler2D uTexture;

varying vec4 vColor;
varying vec2 vTexCoord;
varying vec2 vPointCentre;

void main() {
    vec4 color = vColor;
    if (uGlyph) {
        if (texture2D(uTexture, vTexCoord).r < 0.5) {
            discard;
        }
    } else if (uTexturing) {
        vec3 texel = texture2D(uTexture, vTexCoord).rgb;
        color.rgb = uDecal ? texel : color.rgb * texel;
    }
    // A smooth point covers, fully, the pixels whose centres lie within its radius, and is
    // never narrower than two pixels, as the software rasteriser the demo was made on draws it.
    if (uRoundPoints && distance(gl_FragCoord.xy, vPointCentre) > max(uPointSize, 2.0) * 0.5) {
        discard;
    }
    gl_FragColor = color;
}
)";

} // namespace velmorra::draw
