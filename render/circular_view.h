// The circular map view centred on the vehicle: the recorded trail ("Trails", kind 17), the
// direction and distance of home ("Home Target", kind 16) and the satellites in view with their
// numbers ("Satellites", kind 14), drawn together in one pass and clipped to the circle.
//
// The centre is the position of the "Satellites" record; the radius ("Size") and the scale
// ("Zoom") are parameters of the "Trails" record. The composer calls the view once per frame,
// after the background and before every other gauge (GaugeRenderers::circularView).
#pragma once

#include <cstdint>

struct AppState;
struct GaugeDisplay;
struct NavState;

// Whether a kind is one of the view's three: they share its one place and its one hit rectangle.
bool IsCircularViewKind(int32_t kind);

// Draws the view when any of its three kinds is shown and records the hit rectangle of
// "Trails" as the view's square. `heading` is the displayed heading (whole degrees) that turns
// the view when north is not fixed up. While the configuration dialog is open on one of the
// three kinds, the view's outline is drawn in green.
void DrawCircularView(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t heading);
