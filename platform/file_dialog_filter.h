// File-type filters of the standard file dialogs, written the short way
// ("Name|*.ext|Name|*.ext||") and handed to the system as pairs of texts ended
// by an empty one.
#pragma once

#include "platform/text.h"

namespace nuv {

// Every '|' becomes a null character; the result always ends with two nulls
// (a filter without its closing "||" is closed), so the system never reads past
// it. An empty filter gives the empty text (no filter at all).
Text SystemFileFilter(TextView filter);

}  // namespace nuv
