2d-vertexcolor: flat colours from the vertices (straight alpha). The context
fills its rectangles and lines with this shader.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 COLOR;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
varying vec4 vColor;

void main() {
    gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
    vColor = vec4(COLOR.rgb * COLOR.a, COLOR.a);
}

@fragment
#version 120
varying vec4 vColor;

void main() {
    gl_FragColor = vColor;
}
