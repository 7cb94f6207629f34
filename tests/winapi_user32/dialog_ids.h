// Ids of the test dialogs' controls.
#ifndef TEST_DIALOG_IDS_H
#define TEST_DIALOG_IDS_H

#define IDD_NUMBERED 200
#define IDC_NAME 101
#define IDC_VALUE 102
#define IDC_PORT 103
#define IDC_UNIT 104
#define IDC_LIST 105
#define IDC_ENABLE 106
#define IDC_MODEBOX 107
#define IDC_RADIO_A 108
#define IDC_RADIO_B 109
#define IDC_RADIO_C 110
#define IDC_RADIO_X 111
#define IDC_RADIO_Y 112
#define IDC_CHANNEL 120
#define IDC_TRI 130
#define IDC_PLAIN 131
#define IDC_ASK 132
#define IDC_LABEL 133

#endif
