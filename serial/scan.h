// The scan list: every periodic request of every block during an
// experiment, one list for the whole driver. The kind of a request decides
// what is sent, which first reply character is expected, where the data sits
// in the reply and how it is stored into the block's value cell.
#ifndef TELVIO_SERIAL_SCAN_H
#define TELVIO_SERIAL_SCAN_H

#include <windows.h>

#include <stddef.h>

enum {
    SCAN_AI_READ = 1,
    SCAN_AO_WRITE = 2,
    SCAN_DI_READ = 3,
    SCAN_DO_WRITE = 4,
    SCAN_DI_READ_6052 = 5,
    SCAN_DI16_READ = 6,
    SCAN_DIO_READ = 7,
    SCAN_EVENT_READ = 8,
    SCAN_COUNTER_READ_6080 = 9,
    SCAN_DI_READ_6080 = 10,
    SCAN_DO_WRITE_6056 = 11,
    SCAN_DIO_READ_6058 = 12,
    SCAN_DO_WRITE_6058 = 13,
    SCAN_DI_READ_6024DI = 14,
    SCAN_EXCITATION_WRITE_6016 = 15,
    SCAN_DO1_WRITE_6016 = 16,
    SCAN_DO0_WRITE = 17,
    SCAN_EVENT_READ_6016 = 18,
    SCAN_AO_WRITE_6024 = 19,
    SCAN_DO1_WRITE16 = 20,
    SCAN_EVENT_READ_6014 = 21,
    SCAN_DI16_READ_6041I = 22,
    SCAN_DO16_WRITE_6042O = 23,
    SCAN_DO16_WRITE = 24,
    SCAN_DO4_WRITE_6063 = 25,
    SCAN_DI_READ_6005I = 26,
};

// One request. The cell's type follows from the kind: float (1, 2, 9, 15,
// 19), one byte (3, 4, 5, 10, 14, 16, 17, 25, 26), two bytes (7), 16 bits
// (6, 8, 11, 18, 20, 21, 22, 23, 24), 32 bits (12), three bytes (13).
struct ScanEntry {
    int Kind;
    int Port;     // COM number 1..16
    int Address;  // module address 0..255
    int Param;    // channel or counter number, -1 for none
    int Checksum; // the module uses checksums
    void* Data;   // the block's value cell
};
static_assert(sizeof(ScanEntry) == 24, "ScanEntry is 24 bytes");
static_assert(offsetof(ScanEntry, Kind) == 0, "Kind");
static_assert(offsetof(ScanEntry, Port) == 4, "Port");
static_assert(offsetof(ScanEntry, Address) == 8, "Address");
static_assert(offsetof(ScanEntry, Param) == 12, "Param");
static_assert(offsetof(ScanEntry, Checksum) == 16, "Checksum");
static_assert(offsetof(ScanEntry, Data) == 20, "Data");

typedef int ScanHandle;

#define SCAN_LIST_SIZE 1024
// Room for a formatted request (a command has at most 22 characters).
#define SCAN_REQUEST_SIZE 32

// The list for the experiment: 1 when it exists or was made; 0 and a warning
// when there is no memory. A new list starts empty with the engine idle.
int ScanListCreate();
void ScanListFree();
int ScanListExists();
int ScanListCount();
// Counts the lists made: a new number for every experiment.
int ScanListRun();
// The entry of a handle; null for a handle outside the list.
ScanEntry* ScanListEntry(ScanHandle handle);
// Appends a request; -1, the experiment stopped and a warning when the list
// is full.
ScanHandle ScanListAdd(int kind, int port, int address, int param, void* data, int checksum);

// One registrar per request kind.
ScanHandle ScanAddAiRead(int port, int address, int channel, float* data, int checksum);
ScanHandle ScanAddAoWrite(int port, int address, int channel, float* data, int checksum);
ScanHandle ScanAddExcitationWrite6016(int port, int address, int param, float* data, int checksum);
ScanHandle ScanAddAoWrite6024(int port, int address, int channel, float* data, int checksum);
ScanHandle ScanAddCounterRead6080(int port, int address, int counter, float* data, int checksum);
ScanHandle ScanAddDiRead(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDoWrite(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDiRead6052(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDi16Read(int port, int address, WORD* data, int checksum);
ScanHandle ScanAddDi16Read6041I(int port, int address, WORD* data, int checksum);
ScanHandle ScanAddDioRead(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddEventRead(int port, int address, short* data, int checksum);
ScanHandle ScanAddEventRead6014(int port, int address, short* data, int checksum);
ScanHandle ScanAddEventRead6016(int port, int address, short* data, int checksum);
ScanHandle ScanAddDo0Write(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDo0Write6016(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDo1Write6016(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDo16Write6042O(int port, int address, WORD* data, int checksum);
ScanHandle ScanAddDo16Write(int port, int address, WORD* data, int checksum);
ScanHandle ScanAddDo4Write6063(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDoWrite6056(int port, int address, WORD* data, int checksum);
ScanHandle ScanAddDioRead6058(int port, int address, DWORD* data, int checksum);
ScanHandle ScanAddDoWrite6058(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDiRead6080(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDiRead6005I(int port, int address, BYTE* data, int checksum);
ScanHandle ScanAddDiRead6024Di(int port, int address, BYTE* data, int checksum);

// The analog reading of the entry may come in any width: its module's data
// format was left as the module had it. Otherwise a reading in engineering
// units has its fixed width, and a reply of another width is a wrong reply.
void ScanAcceptAnyWidth(ScanHandle handle);

// The request of an entry, its output cell read now (the two-bit kinds write
// the reduced value back); 0 for an unknown kind or a request that does not
// fit `size`.
int ScanFormatRequest(const ScanEntry* entry, char* request, int size);
// The first reply character the kind expects.
char ScanExpectedReply(int kind);
// Stores the reply (checksum already cut off) into the entry's cell: 1 when
// the reply holds every character its kind reads and they are digits of the
// right kind, names the entry's module where the kind's reply names one, and
// holds the one reading a read of one channel asks for; 0 for a short,
// malformed or foreign reply, the cell unchanged.
int ScanParseReply(const ScanEntry* entry, const char* reply);
// The same check, the cell left as it is.
int ScanReplyFits(const ScanEntry* entry, const char* reply);

#endif
