#include "VideoDialogLayout.h"

#include <algorithm>

namespace camera {

QRect previewAreaRect(QSize client)
{
    constexpr int left = 20;
    constexpr int top = 75;
    constexpr int edgeMargin = 10;
    const int width = std::max(0, client.width() - 30);
    const int height = std::max(0, std::min(client.height() - 60, client.height() - top - edgeMargin));
    return {left, top, width, height};
}

} // namespace camera
