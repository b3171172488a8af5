2d-sprite: a texture with premultiplied alpha, tinted by the vertex colour
(straight alpha). The context draws its sprites with this shader.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 COLOR;
attribute vec4 TEXCOORD0;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
varying vec4 vColor;
varying vec2 vTexCoord;

void main() {
    gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
    vColor = vec4(COLOR.rgb * COLOR.a, COLOR.a);
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
