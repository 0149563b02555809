// The one place where the program's style renderers, heading tape, circular map view and layout
// editor are plugged into the frame composer.
#pragma once

#include "render/gauge_renderers.h"

void InstallGaugeRenderers(GaugeRenderers& renderers);
