// Ids of the types with alarm outputs and counters (ND6011, ND6011P, ND6012,
// ND6080) and of the host actions. Included by resource.h.
#ifndef TELVIO_RESOURCES_ALARM_H
#define TELVIO_RESOURCES_ALARM_H

// Display texts of the host actions, shared by every type that offers them.
#define IDS_ACTION_RESET_COUNTER 1330
#define IDS_ACTION_RESET_ALARM 1331
#define IDS_ACTION_SET_DOUT 1332
#define IDS_ACTION_RESET_DOUT 1333
#define IDS_ACTION_START_COUNTER 1334
#define IDS_ACTION_STOP_COUNTER 1335

// The alarm group of a setup dialog: alarm on and off, the high and low
// limit with their unit labels, momentary or latched.
#define IDC_ALARM_ON 1130
#define IDC_ALARM_OFF 1131
#define IDC_ALARM_HIGH 1132
#define IDC_ALARM_LOW 1133
#define IDC_ALARM_HIGH_UNIT 1134
#define IDC_ALARM_LOW_UNIT 1135
#define IDC_ALARM_MOMENTARY 1136
#define IDC_ALARM_LATCH 1137

// The button that opens the module watchdog's dialog.
#define IDC_ALARM_WATCHDOG 1150

// ND6011, ND6011P and ND6012: the input range.
#define IDC_ND6011_RANGE 1054

// ND6080.
#define IDC_ND6080_MODE 1100
#define IDC_ND6080_GATE 1101
#define IDC_ND6080_INPUT 1102
#define IDC_ND6080_GATE_MODE 1103
#define IDC_ND6080_FILTER_OFF 1104
#define IDC_ND6080_FILTER_ON 1105
#define IDC_ND6080_WIDTH_HIGH 1106
#define IDC_ND6080_WIDTH_LOW 1107
#define IDC_ND6080_TRIG_HIGH 1108
#define IDC_ND6080_TRIG_LOW 1109
#define IDC_ND6080_ALARM_ON 1117
#define IDC_ND6080_ALARM_OFF 1118
#define IDC_ND6080_ALARM_VALUE 1119
#define IDC_ND6080_START 1120
#define IDC_ND6080_LOAD 1121
#define IDC_ND6080_PRESET 1122

#define IDS_ND6080_COUNTER 1310
#define IDS_ND6080_FREQUENCY 1311
#define IDS_ND6080_TTL 1312
#define IDS_ND6080_PHOTO 1313
#define IDS_ND6080_LOW_LEVEL 1314
#define IDS_ND6080_HIGH_LEVEL 1315
#define IDS_ND6080_GATE_OFF 1316

#endif
