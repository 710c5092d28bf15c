#include "platform/view/field_view.h"

#include <cmath>

FieldView PlaceField(int32_t width, int32_t height, int32_t fieldSize) {
    const int32_t room = width < height ? width : height;
    FieldView view{0, 0, 0, true};
    if (room <= 0 || fieldSize <= 0) return view;  // no room: nothing shown, nothing to click
    const int32_t whole = room / fieldSize;
    if (whole >= 1 && whole * fieldSize >= WHOLE_FILL * room) {
        view.scale = whole;
    } else {
        view.scale = static_cast<double>(room) / fieldSize;
        view.whole = false;
    }
    const double side = fieldSize * view.scale;
    // Whole device pixels, so a whole factor maps each field pixel onto
    // exactly scale by scale screen pixels.
    view.left = std::floor((width - side) / 2);
    view.top = std::floor((height - side) / 2);
    return view;
}

bool ViewToField(const FieldView& view, double x, double y, int32_t fieldSize, int32_t* fieldX, int32_t* fieldY) {
    if (view.scale <= 0) return false;
    const double fx = std::floor((x - view.left) / view.scale);
    const double fy = std::floor((y - view.top) / view.scale);
    if (fx < 0 || fy < 0 || fx >= fieldSize || fy >= fieldSize) return false;
    *fieldX = static_cast<int32_t>(fx);
    *fieldY = static_cast<int32_t>(fy);
    return true;
}
