2d-sprite-alpha-masked: the fill texture BASEMAP (texture set 0) where the mask
texture BASEMAP1 (set 1) covers, faded by ALPHA_FACTOR. Positions arrive in
clip space of the oriented screen; VIEW_MATRIX turns them onto the window.

@vertex
#version 120
attribute vec4 POSITION;
attribute vec4 TEXCOORD0;
attribute vec4 TEXCOORD1;
uniform mat4 VIEW_MATRIX = mat4(1.0);
varying vec2 vFill;
varying vec2 vMask;

void main() {
    // The view's turn, applied in clip space (whose y runs the other way).
    mat2 turn = mat2(VIEW_MATRIX[0].xy, VIEW_MATRIX[1].xy);
    vec2 p = turn * vec2(POSITION.x, -POSITION.y);
    gl_Position = vec4(p.x, -p.y, POSITION.zw);
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
