#pragma once

#include "lang/Exception.h"

namespace gr {

/// Failures of the renderer: a plug-in that cannot be loaded, a context that
/// cannot be made, an image or shader that cannot be read.
class GraphicsException : public lang::Exception {
public:
    GraphicsException() = default;
    explicit GraphicsException(const lang::Format& format) : lang::Exception(format) {}
};

}  // namespace gr
