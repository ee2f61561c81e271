#pragma once
// Where the main frame and its domain windows go: rectangle arithmetic only,
// so that every window opens wholly visible at a size its chart can be read
// at, whatever the screen.

#include <QRect>
#include <QSize>

// The least size of a domain window's frame window.
inline constexpr QSize kUsableChild{360, 260};

// The frame at start: most of the available screen area, centred; at least
// 800 x 554 while the screen holds that.
[[nodiscard]] QRect FrameStartGeometry(const QRect& available);

// The index-th window of a cascade of windows of the given size inside area,
// each step further right and down; the cascade starts again at the top left
// before a window would leave the area.
[[nodiscard]] QRect CascadeGeometry(const QRect& area, QSize size, int index, int step);

// A new domain window: two thirds of the width and of the height of the
// area the windows may use (at least usable, at most the area), placed on
// the cascade inside area by the number of windows already open.
[[nodiscard]] QRect NewChildGeometry(const QRect& area, int openBefore, int step);

// The size of each window when count windows are cascaded over area: as
// large as lets the cascade fit, but never under three fifths of the area
// (nor under usable).
[[nodiscard]] QSize CascadeSize(const QRect& area, int count, int step);
