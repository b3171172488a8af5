#pragma once

#include <string>

#include "lang/Object.h"
#include "lang/Ptr.h"

namespace pf {

class WebViewListener {
public:
    virtual void pageLoaded(const std::string& url) = 0;
    /// 1: load in the view, 2: open in the external browser, 0: do not load.
    virtual int linkClicked(const std::string& url) = 0;
    virtual void javaScriptCalled(const std::string& message) = 0;

protected:
    ~WebViewListener() = default;
};

/// An embedded browser view. Not supported on this platform: isSupported() is
/// false, so the script interface is not registered and nothing is shown.
class WebView : public lang::Object {
public:
    class Impl;

    WebView();
    ~WebView() override;

    static bool isSupported();

    void setListener(WebViewListener* listener);
    void setPosition(int x, int y);
    void setSize(int width, int height);
    /// -1 until set.
    int getX() const;
    int getY() const;
    int getWidth() const;
    int getHeight() const;

    void show();
    void hide();
    void loadPage(const std::string& url);

private:
    lang::Ptr<Impl> impl_;
};

}  // namespace pf
