// Where a dialog goes when it is centred on the screen or over its owner.
// Plain arithmetic, so that odd sizes and negative positions can be checked
// without a screen.
#ifndef VANTREL_CENTER_H
#define VANTREL_CENTER_H

struct PLACEMENT {
    int x, y, width, height;
};

// A window with this rectangle, centred on a screen of this size.
PLACEMENT ScreenCentre(int left, int top, int right, int bottom, int screenWidth, int screenHeight);
// A window of this size, centred over a parent with this rectangle. Each
// half is taken on its own, as the dialogs always have.
PLACEMENT ParentCentre(int parentLeft, int parentTop, int parentRight, int parentBottom, int width,
                       int height);

#endif
