#include "draw/FixedFunctionShaders.h"

namespace velmorra::draw {

// Each program is made for one combination of the pipeline's switches, named by the defines
// put before these sources (LIGHTING with LIGHT_COUNT, FLAT, NORMALIZE, COLOR_MATERIAL,
// LOCAL_VIEWER, SPHERE_MAP; TEXTURING, DECAL, ROUND_POINTS, GLYPH): the software rasteriser
// then runs only what a draw needs, with no branch on a uniform per vertex or fragment.
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
uniform float uPointSize;
uniform vec4 uViewport;

#ifdef LIGHTING
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmission;
uniform float uShininess;
uniform vec4 uSceneAmbient;
// The enabled lights, in order, in the first LIGHT_COUNT places.
uniform vec4 uLightPosition[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec3 uSpotDirection[8];
uniform float uSpotExponent[8];
uniform float uSpotCosCutoff[8];
uniform vec3 uAttenuation[8];
#endif

varying vec4 vColor;
varying vec2 vTexCoord;
#ifdef ROUND_POINTS
varying vec2 vPointCentre;
#endif

vec3 eyeNormal(vec3 normal) {
    vec3 n = uNormalMatrix * normal;
#ifdef NORMALIZE
    float length2 = dot(n, n);
    n = length2 > 0.0 ? n * inversesqrt(length2) : n;
#endif
    return n;
}

#ifdef LIGHTING
float specularPower(float nDotH) {
    if (uShininess == 0.0) {
        return 1.0;
    }
    return nDotH > 0.0 ? pow(nDotH, uShininess) : 0.0;
}

vec4 lit(vec3 vertex, vec3 n, vec4 color) {
#ifdef COLOR_MATERIAL
    vec4 ambient = color;
    vec4 diffuse = color;
#else
    vec4 ambient = uMaterialAmbient;
    vec4 diffuse = uMaterialDiffuse;
#endif
    vec3 sum = uMaterialEmission.rgb + ambient.rgb * uSceneAmbient.rgb;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
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
            factor *= spot >= uSpotCosCutoff[i]
                          ? (uSpotExponent[i] == 0.0 ? 1.0 : pow(max(spot, 0.0), uSpotExponent[i]))
                          : 0.0;
        }
        float nDotL = dot(n, toLight);
        vec3 term = uLightAmbient[i].rgb * ambient.rgb;
        if (nDotL > 0.0) {
            term += nDotL * uLightDiffuse[i].rgb * diffuse.rgb;
#ifdef LOCAL_VIEWER
            vec3 viewer = normalize(-vertex);
#else
            vec3 viewer = vec3(0.0, 0.0, 1.0);
#endif
            vec3 halfway = normalize(toLight + viewer);
            term += specularPower(dot(n, halfway)) * uLightSpecular[i].rgb * uMaterialSpecular.rgb;
        }
        sum += factor * term;
    }
    return vec4(clamp(sum, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}
#endif

vec2 sphereMap(vec3 vertex, vec3 n) {
    vec3 u = normalize(vertex);
    vec3 r = u - 2.0 * n * dot(n, u);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    return m > 0.0 ? r.xy / m + 0.5 : vec2(0.5);
}

void main() {
    vec4 eye = uModelview * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
#ifdef ROUND_POINTS
    // A smooth point gets a square with room around its circle, which the fragments cut out.
    gl_PointSize = max(uPointSize, 2.0) + 2.0;
    vPointCentre = uViewport.xy + (gl_Position.xy / gl_Position.w * 0.5 + 0.5) * uViewport.zw;
#else
    // A square point is as wide as its size rounded, as the fixed pipeline draws it.
    gl_PointSize = floor(uPointSize + 0.5);
#endif
#ifdef FLAT
    vec4 color = aFlatColor;
#else
    vec4 color = aColor;
#endif
#ifdef LIGHTING
#ifdef FLAT
    color = lit((uModelview * vec4(aFlatPosition, 1.0)).xyz, eyeNormal(aFlatNormal), color);
#else
    color = lit(eye.xyz, eyeNormal(aNormal), color);
#endif
#endif
    vColor = color;
    vec4 texCoord = vec4(aTexCoord, 0.0, 1.0);
#ifdef SPHERE_MAP
    texCoord.xy = sphereMap(eye.xyz, eyeNormal(aNormal));
#endif
    vTexCoord = (uTextureMatrix * texCoord).xy;
}
)";

const char* const fixedFunctionFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif

uniform float uPointSize;
uniform sampler2D uTexture;

varying vec4 vColor;
varying vec2 vTexCoord;
#ifdef ROUND_POINTS
varying vec2 vPointCentre;
#endif

void main() {
    vec4 color = vColor;
#ifdef GLYPH
    if (texture2D(uTexture, vTexCoord).r < 0.5) {
        discard;
    }
#endif
#ifdef TEXTURING
    vec3 texel = texture2D(uTexture, vTexCoord).rgb;
#ifdef DECAL
    color.rgb = texel;
#else
    color.rgb *= texel;
#endif
#endif
#ifdef ROUND_POINTS
    // A smooth point covers, fully, the pixels whose centres lie within its radius, and is
    // never narrower than two pixels, as the software rasteriser the demo was made on draws it.
    if (distance(gl_FragCoord.xy, vPointCentre) > max(uPointSize, 2.0) * 0.5) {
        discard;
    }
#endif
    gl_FragColor = color;
}
)";

} // namespace velmorra::draw
