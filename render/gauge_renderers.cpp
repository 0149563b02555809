#include "render/gauge_renderers.h"

GaugeStyle GaugeStyleOf(uint16_t type) {
    if (type <= 3 || type == 8) return GaugeStyle::Dial;
    if (type <= 7 || type == 9 || type == 10) return GaugeStyle::Linear;
    if (type <= 12) return GaugeStyle::HistoryGraph;
    return GaugeStyle::None;
}
