2d-sprite-modulate-inverted: a texture with its colours inverted (alpha kept),
tinted by TINT (straight alpha) and the vertex colour.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 COLOR;
attribute vec4 TEXCOORD0;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
uniform vec4 TINT = vec4(1.0);
varying vec4 vColor;
varying vec2 vTexCoord;

void main() {
    gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
    vColor = COLOR * TINT;
    vTexCoord = TEXCOORD0.xy;
}

@fragment
#version 120
uniform sampler2D BASEMAP;
varying vec4 vColor;
varying vec2 vTexCoord;

void main() {
    vec4 t = texture2D(BASEMAP, vTexCoord);
    // Texels are premultiplied: invert the straight colour, then multiply again.
    vec3 straight = t.a > 0.0 ? t.rgb / t.a : vec3(0.0);
    float a = t.a * vColor.a;
    gl_FragColor = vec4((vec3(1.0) - straight) * vColor.rgb * a, a);
}
