#pragma once

#include "scriptengine/ScriptEngine.h"

namespace kelvan::script {

// The unit "Math": trigonometry in degrees, distances, directions and the crossings of
// lines and circles. Points come back through var parameters.
scriptengine::HostUnit MakeMathUnit();

// The sweep order of a counter-clockwise arc from sa to ea, in degrees.
void AnglCheckDegrees(double& sa, double& ea);
// Crossings of two circles; P1 lies to the left of the direction from the first centre
// to the second. 0, 1 or 2.
int ArcArcCrossLeftFirst(double c1x, double c1y, double c1r, double c2x, double c2y, double c2r, double& p1x,
                         double& p1y, double& p2x, double& p2y);

}  // namespace kelvan::script
