#pragma once

#include <QRect>
#include <QSize>

// Geometry of the camera window's controls, as plain functions of the window's inner size.
namespace camera {

// The preview area follows the window: 20 px from the left, 75 px from the top, 30 px narrower
// and 60 px lower than the window. That height would run 15 px past the bottom edge, so the
// area stops 10 px above it, as it stops 10 px before the right edge. Never negative.
QRect previewAreaRect(QSize client);

// The controls above the preview: one row with the device list and the two buttons, and below
// it the line that says where snapshots go.
inline constexpr int kControlRowTop = 10;
inline constexpr int kControlRowHeight = 26;
inline constexpr int kFolderLineTop = 44;
inline constexpr int kFolderLineHeight = 20;

} // namespace camera
