#include "pf/WebView.h"

namespace pf {

class WebView::Impl : public lang::Object {
public:
    int x = -1;
    int y = -1;
    int width = -1;
    int height = -1;
    WebViewListener* listener = nullptr;
};

WebView::WebView() : impl_(new Impl) {}
WebView::~WebView() = default;

bool WebView::isSupported() {
    return false;
}

void WebView::setListener(WebViewListener* listener) {
    impl_->listener = listener;
}

void WebView::setPosition(int x, int y) {
    impl_->x = x;
    impl_->y = y;
}

void WebView::setSize(int width, int height) {
    impl_->width = width;
    impl_->height = height;
}

int WebView::getX() const {
    return impl_->x;
}
int WebView::getY() const {
    return impl_->y;
}
int WebView::getWidth() const {
    return impl_->width;
}
int WebView::getHeight() const {
    return impl_->height;
}

// Nothing to show on this platform.
void WebView::show() {}
void WebView::hide() {}
void WebView::loadPage(const std::string&) {}

}  // namespace pf
