// Orientation of skin images, in place. Each works on 24 bits per pixel; a bitmap of another
// pixel format is converted to 24 bits first, so no row is ever written past its end.
#pragma once

class TBitmap;

void MirrorBitmap(TBitmap& bitmap);       // left and right exchanged
void FlipBitmap(TBitmap& bitmap);         // top and bottom exchanged
void RotateBitmapLeft(TBitmap& bitmap);   // a quarter turn anticlockwise
void RotateBitmapRight(TBitmap& bitmap);  // a quarter turn clockwise
