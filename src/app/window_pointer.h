#pragma once

#include <QCursor>
#include <optional>

class QWidget;

namespace app {

// The main window's one pointer setting.
enum PointerValue { kPointerDefault = 0, kPointerArrow = 1, kPointerHourglass = 11, kPointerCustom = 99 };

// Holds the window-wide pointer value and shows it on the window: 0 the
// default arrow, 11 the wait cursor (also the window's busy mark), 99 the
// custom image, or a pointing hand when no image was loaded.
class WindowPointer {
public:
    explicit WindowPointer(QWidget* window) : window_(window) {}

    int value() const { return value_; }
    void set(int value);
    bool busy() const { return value_ == kPointerHourglass; }

    void setCustomImage(const QCursor& cursor) { custom_ = cursor; }
    bool hasCustomImage() const { return custom_.has_value(); }

    // Pointer over a push button: the custom pointer unless the window is busy.
    void overButton();
    // Pointer over the window's background, a frame or the text box.
    void overBackground();

private:
    QWidget* window_;
    int value_ = kPointerDefault;
    std::optional<QCursor> custom_;
};

}  // namespace app
