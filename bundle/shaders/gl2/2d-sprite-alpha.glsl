2d-sprite-alpha: a texture with premultiplied alpha, tinted by TINT (red,
green, blue, alpha; straight alpha) and by the vertex colour.

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
    vec4 c = COLOR * TINT;
    vColor = vec4(c.rgb * c.a, c.a);
    vTexCoord = TEXCOORD0.xy;
}

@fragment
#version 120
uniform sampler2D BASEMAP;
varying vec4 vColor;
varying vec2 vTexCoord;

void main() {
    gl_FragColor = texture2D(BASEMAP, vTexCoord) * vColor;
}
