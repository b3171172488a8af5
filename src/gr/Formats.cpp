#include "gr/Primitive.h"
#include "gr/Shader.h"
#include "gr/Texture.h"

namespace gr {

int bytesPerPixel(PixelFormat format) {
    return format == PIXELFORMAT_A8B8G8R8 ? 4 : 0;
}

int dataFormatSize(int format) {
    switch (format) {
        case DF_FLOAT1:
            return 1;
        case DF_FLOAT2:
            return 2;
        case DF_FLOAT3:
            return 3;
        case DF_FLOAT4:
            return 4;
        default:
            return 0;
    }
}

const char* matrixParameterName(int index) {
    static const char* const names[MATRIX_COUNT] = {
        "MATRIX0", "MATRIX1", "WORLD_MATRIX",      "VIEW_MATRIX",
        "MATRIX4", "MATRIX5", "PROJECTION_MATRIX", "WORLDVIEWPROJ_MATRIX",
    };
    return index >= 0 && index < MATRIX_COUNT ? names[index] : nullptr;
}

}  // namespace gr
