2d-sprite-alpha-masked: the fill texture BASEMAP (texture set 0) where the mask
texture BASEMAP1 (set 1) covers, faded by ALPHA_FACTOR. Positions arrive in
clip space of the oriented screen. With PROJECTION_MATRIX and VIEW_MATRIX given
they are taken back to drawing pixels and placed as every other drawing is, so
the screen's orientation and a moved viewport apply; with the view alone only
the orientation's turn is applied.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 TEXCOORD0;
attribute vec4 TEXCOORD1;
uniform mat4 VIEW_MATRIX = mat4(1.0);
// Zero until given: a real projection has a 1 in its last row.
uniform mat4 PROJECTION_MATRIX = mat4(0.0);
varying vec2 vFill;
varying vec2 vMask;

void main() {
    mat2 turn = mat2(VIEW_MATRIX[0].xy, VIEW_MATRIX[1].xy);
    if (PROJECTION_MATRIX[3][3] != 0.0) {
        // The window's pixels from the projection, the oriented screen's through the turn.
        vec2 window = 2.0 / abs(vec2(PROJECTION_MATRIX[0][0], PROJECTION_MATRIX[1][1]));
        vec2 screen = abs(transpose(turn) * window);
        vec2 pixel = vec2(POSITION.x + 1.0, 1.0 - POSITION.y) * 0.5 * screen;
        vec4 p = PROJECTION_MATRIX * VIEW_MATRIX * vec4(pixel, 0.0, 1.0);
        gl_Position = vec4(p.xy, POSITION.zw);
    } else {
        // The turn applied in clip space, whose y runs the other way.
        vec2 p = turn * vec2(POSITION.x, -POSITION.y);
        gl_Position = vec4(p.x, -p.y, POSITION.zw);
    }
    vFill = TEXCOORD0.xy;
    vMask = TEXCOORD1.xy;
}

@fragment
#version 120
uniform sampler2D BASEMAP;
uniform sampler2D BASEMAP1;
uniform float ALPHA_FACTOR = 1.0;
varying vec2 vFill;
varying vec2 vMask;

void main() {
    vec4 fill = texture2D(BASEMAP, vFill);
    gl_FragColor = fill * texture2D(BASEMAP1, vMask).a * ALPHA_FACTOR;
}
