// The accessible face is a port of the platform layer; kept here for the
// files that name it by its first place.
#pragma once

#include "platform/accessible_face.h"
