// The print spooler calls and the published records they exchange: ports, printer
// drivers and printers of the local machine, ANSI forms only.
#pragma once

#include "platform/wintypes.h"

struct DEVMODEA;  // never filled by the setup; passed as NULL
using LPDEVMODEA = DEVMODEA *;

struct PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    LPDEVMODEA pDevMode;
    DWORD DesiredAccess;
};
using LPPRINTER_DEFAULTSA = PRINTER_DEFAULTSA *;

struct PORT_INFO_1 {
    LPSTR pName;
};

struct DRIVER_INFO_2 {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
};

struct PRINTER_INFO_2 {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    LPDEVMODEA pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    PSECURITY_DESCRIPTOR pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

constexpr DWORD PRINTER_ATTRIBUTE_QUEUED = 0x00000001;
constexpr DWORD PRINTER_ATTRIBUTE_DIRECT = 0x00000002;
constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x00000004;
constexpr DWORD PRINTER_ATTRIBUTE_SHARED = 0x00000008;
constexpr DWORD PRINTER_STATUS_PENDING_DELETION = 0x00000004;

BOOL EnumPortsA(LPSTR serverName, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                LPDWORD returned);
BOOL EnumPrinterDriversA(LPSTR serverName, LPSTR environment, DWORD level, LPBYTE buffer, DWORD bufferSize,
                         LPDWORD needed, LPDWORD returned);
BOOL OpenPrinterA(LPSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSA defaults);
BOOL ClosePrinter(HANDLE printer);
BOOL DeletePrinter(HANDLE printer);
BOOL DeletePrinterDriverA(LPSTR serverName, LPSTR environment, LPSTR driverName);
BOOL AddPrinterDriverA(LPSTR serverName, DWORD level, LPBYTE driverInfo);
HANDLE AddPrinterA(LPSTR serverName, DWORD level, LPBYTE printerInfo);
