// Ids of the digital input, output and relay types' dialogs.
#ifndef TELVIO_RESOURCES_DIGITAL_H
#define TELVIO_RESOURCES_DIGITAL_H

// The watchdog frame and its button, which opens the "Watchdog" dialog.
#define IDC_WATCHDOG_FRAME 1149
#define IDC_WATCHDOG_BUTTON 1150
// The label of the eighth channel button of the byte-image output dialogs.
#define IDC_DIGITAL_LABEL7 1185
// Channel button labels with ids of their own: label i is 1700 + i.
#define IDC_DIGITAL_LABEL_FIRST 1700

#endif
