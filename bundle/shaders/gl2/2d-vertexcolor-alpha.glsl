2d-vertexcolor-alpha: flat colours from the vertices (straight alpha), faded
by ALPHA_FACTOR.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 COLOR;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
uniform float ALPHA_FACTOR = 1.0;
varying vec4 vColor;

void main() {
    gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
    float a = COLOR.a * ALPHA_FACTOR;
    vColor = vec4(COLOR.rgb * a, a);
}

@fragment
#version 120
varying vec4 vColor;

void main() {
    gl_FragColor = vColor;
}
