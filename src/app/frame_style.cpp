#include "app/frame_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace app {

namespace {
constexpr int kMostShading = 16;
}  // namespace

FrameStyle::FrameStyle() : QProxyStyle(QApplication::style()->name()) {}

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    if (element != PE_FrameGroupBox || !widget) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The frame is drawn on a layer of its own; where the style left its
    // shading, the frame's background shows. Fusion's shading is black at an
    // opacity of 3 to 7 in 255, its line at 50 or more.
    QImage layer(option->rect.size() * painter->device()->devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(painter->device()->devicePixelRatio());
    layer.fill(Qt::transparent);
    {
        QPainter onLayer(&layer);
        QStyleOption moved(*option);
        moved.rect.moveTopLeft(QPoint(0, 0));
        QProxyStyle::drawPrimitive(element, &moved, &onLayer, widget);
    }
    const QColor background = widget->palette().color(widget->backgroundRole());
    for (int y = 0; y < layer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            if (qAlpha(line[x]) > 0 && qAlpha(line[x]) < kMostShading)
                line[x] = background.rgba();
    }
    painter->drawImage(option->rect.topLeft(), layer);
}

}  // namespace app
