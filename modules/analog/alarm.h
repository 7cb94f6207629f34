// The alarm input types ND6011, ND6011P and ND6012 share the records of
// frame/alarminput.h, which their registration rows name.
#ifndef TELVIO_MODULES_ANALOG_ALARM_H
#define TELVIO_MODULES_ANALOG_ALARM_H

#include "frame/alarminput.h"

#endif
