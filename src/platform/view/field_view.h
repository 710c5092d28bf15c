// Where the field is shown in an area of any size, the same on every front
// end that scales it (the desktop window, the page): square, centred, and
// filling the area's shorter side as far as it can while staying crisp. The
// largest whole factor is taken when it fills at least WHOLE_FILL of that
// side; otherwise the field fills the side exactly, scaled smoothly.
#pragma once
#include <cstdint>

// A whole factor that leaves more than this much of the side empty loses to
// a smooth fill: a field at 57% of a phone's width is too small to play.
constexpr double WHOLE_FILL = 0.85;

struct FieldView {
    double left, top;  // the field's top-left corner, in device pixels
    double scale;      // device pixels per field pixel
    bool whole;        // the scale is a whole number: draw nearest pixels
};

// The view of a field `fieldSize` pixels wide in an area of width by height
// device pixels.
FieldView PlaceField(int32_t width, int32_t height, int32_t fieldSize);

// A point of the area (device pixels) back to field pixels, through the
// inverse of the view. False off the field.
bool ViewToField(const FieldView& view, double x, double y, int32_t fieldSize, int32_t* fieldX, int32_t* fieldY);
