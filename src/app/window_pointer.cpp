#include "app/window_pointer.h"

#include <QWidget>

namespace app {

void WindowPointer::set(int value)
{
    value_ = value;
    switch (value) {
    case kPointerHourglass: window_->setCursor(Qt::WaitCursor); break;
    case kPointerCustom: window_->setCursor(custom_.value_or(QCursor(Qt::PointingHandCursor))); break;
    case kPointerArrow: window_->setCursor(Qt::ArrowCursor); break;
    default: window_->unsetCursor(); break;
    }
}

void WindowPointer::overButton()
{
    if (!busy())
        set(kPointerCustom);
}

void WindowPointer::overBackground()
{
    if (!busy())
        set(kPointerDefault);
}

}  // namespace app
