// A serial source that reaches up into the frame.
#include "serial/a.h"
#include "frame/b.h"
