2d-sprite-fill: the shape of a texture (its alpha) filled with TINT (straight
alpha), times the vertex colour's alpha.

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
    float a = TINT.a * COLOR.a;
    vColor = vec4(TINT.rgb * a, a);
    vTexCoord = TEXCOORD0.xy;
}

@fragment
#version 120
uniform sampler2D BASEMAP;
varying vec4 vColor;
varying vec2 vTexCoord;

void main() {
    gl_FragColor = vColor * texture2D(BASEMAP, vTexCoord).a;
}
