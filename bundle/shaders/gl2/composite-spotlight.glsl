composite-spotlight: darkens the screen except for a soft spot at
SPOTLIGHT_POSITION (x, y in -1..1 from the screen centre, y downwards). Drawn
as two triangles covering the screen. With PROJECTION_MATRIX given they are
placed by it and VIEW_MATRIX alone, so that whatever drawing transform is left
in WORLD_MATRIX the pass covers the whole screen, and the spot is round;
otherwise they are placed by WORLDVIEWPROJ_MATRIX and the spot follows the
screen's proportions.

@vertex
#version 120
attribute vec4 POSITION;
uniform mat4 WORLDVIEWPROJ_MATRIX = mat4(1.0);
uniform mat4 VIEW_MATRIX = mat4(1.0);
// Zero until given: a real projection has a 1 in its last row.
uniform mat4 PROJECTION_MATRIX = mat4(0.0);
varying vec2 vScreen;
// Screen units to half screen heights.
varying vec2 vAspect;

void main() {
    mat2 turn = mat2(VIEW_MATRIX[0].xy, VIEW_MATRIX[1].xy);
    if (PROJECTION_MATRIX[3][3] != 0.0) {
        gl_Position = PROJECTION_MATRIX * VIEW_MATRIX * vec4(POSITION.xy, 0.0, 1.0);
        vec2 window = 2.0 / abs(vec2(PROJECTION_MATRIX[0][0], PROJECTION_MATRIX[1][1]));
        vec2 screen = abs(transpose(turn) * window);
        vAspect = vec2(screen.x / screen.y, 1.0);
    } else {
        gl_Position = WORLDVIEWPROJ_MATRIX * POSITION;
        vAspect = vec2(1.0);
    }
    // Window clip space back to the oriented screen's, y downwards.
    vec2 c = gl_Position.xy / gl_Position.w;
    vScreen = transpose(turn) * vec2(c.x, -c.y);
}

@fragment
#version 120
uniform vec4 SPOTLIGHT_POSITION = vec4(0.0);
varying vec2 vScreen;
varying vec2 vAspect;

void main() {
    float d = length((vScreen - SPOTLIGHT_POSITION.xy) * vAspect);
    float dark = smoothstep(0.25, 0.45, d) * 0.7;
    gl_FragColor = vec4(0.0, 0.0, 0.0, dark);
}
