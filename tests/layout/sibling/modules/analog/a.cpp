// A type file that reaches into a sibling family's folder.
#include "modules/analog/a.h"
#include "modules/digital/b.h"
#include "modules/types.h"
