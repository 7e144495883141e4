#pragma once

#include "scriptengine/ScriptEngine.h"

namespace kelvan::script {

// The unit "Math": trigonometry in degrees, distances, directions and the crossings of
// lines and circles. Points come back through var parameters.
scriptengine::HostUnit MakeMathUnit();

// The sweep order of a counter-clockwise arc from sa to ea, in degrees.
void AnglCheckDegrees(double& sa, double& ea);

}  // namespace kelvan::script
