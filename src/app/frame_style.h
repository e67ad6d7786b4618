#pragma once

#include <QProxyStyle>

namespace app {

// The look of the window's frames: the platform style's frame line, around an
// inside of the frame's own background colour (white, or the button face once
// a skin is applied). Qt's Fusion style shades the inside of a group box,
// which greys a white window.
class FrameStyle : public QProxyStyle {
public:
    FrameStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

}  // namespace app
