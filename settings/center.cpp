#include "settings/center.h"

// C++ integer division truncates toward zero, which is what the placement
// of a window larger than its screen or parent relies on.
PLACEMENT ScreenCentre(int left, int top, int right, int bottom, int screenWidth, int screenHeight)
{
    PLACEMENT p;
    p.width = right - left;
    p.height = bottom - top;
    p.x = (screenWidth - p.width) / 2;
    p.y = (screenHeight - p.height) / 2;
    return p;
}

PLACEMENT ParentCentre(int parentLeft, int parentTop, int parentRight, int parentBottom, int width,
                       int height)
{
    PLACEMENT p;
    p.width = width;
    p.height = height;
    p.x = parentLeft + (parentRight - parentLeft) / 2 - width / 2;
    p.y = parentTop + (parentBottom - parentTop) / 2 - height / 2;
    return p;
}
