composite-spotlight: darkens the screen except for a soft round spot at
SPOTLIGHT_POSITION (x, y in -1..1 from the screen centre, y downwards). Drawn
as two triangles covering the screen, through WORLDVIEWPROJ_MATRIX.

@vertex
#version 120
attribute vec4 POSITION;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
uniform mat4 VIEW_MATRIX = mat4(1.0);
varying vec2 vScreen;

void main() {
    gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
    // Window clip space back to the oriented screen's, y downwards.
    mat2 turn = mat2(VIEW_MATRIX[0].xy, VIEW_MATRIX[1].xy);
    vec2 c = gl_Position.xy / gl_Position.w;
    vScreen = transpose(turn) * vec2(c.x, -c.y);
}

@fragment
#version 120
uniform vec4 SPOTLIGHT_POSITION = vec4(0.0);
varying vec2 vScreen;

void main() {
    float d = distance(vScreen, SPOTLIGHT_POSITION.xy);
    float dark = smoothstep(0.25, 0.45, d) * 0.7;
    gl_FragColor = vec4(0.0, 0.0, 0.0, dark);
}
