// Where the field is shown in a window of any size: square, centred, scaled
// by the largest whole factor that fits (crisp pixels), or by a smooth
// factor when not even one whole factor fits.
#pragma once
#include <cstdint>

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
