// The ranges of the analog input types with alarm outputs ND6011 and
// ND6011P (the family's records and steps are in frame/alarminput.h).
#ifndef TELVIO_MODULES_ANALOG_ND6011_H
#define TELVIO_MODULES_ANALOG_ND6011_H

#include "frame/alarminput.h"

// The ranges of ND6011 (the first 16) and ND6011P (all 18).
#define ND6011_RANGES 16
#define ND6011P_RANGES 18
extern const AlarmRange ND6011_Ranges[ND6011P_RANGES];

#endif
