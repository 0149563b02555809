#include "shell/host_follow.h"

HostPlacement PlaceOnHost(const RectI32& host, const RectI32& lastHost, int32_t offsetX,
                          int32_t offsetY, int32_t frameWidth, int32_t frameHeight) {
    HostPlacement placement;
    if (offsetX == 0 && offsetY == 0) {
        return placement;
    }
    if (host.left == lastHost.left && host.top == lastHost.top) {
        return placement;
    }
    placement.move = true;
    placement.x = offsetX >= 0 ? host.left + offsetX : host.right + offsetX - frameWidth;
    placement.y = offsetY >= 0 ? host.top + offsetY : host.bottom + offsetY - frameHeight;
    return placement;
}
