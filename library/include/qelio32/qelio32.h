/* Device-interface library of the DMX-QEL USB interface unit.
 *
 * Ten C functions: find units on USB, open one, carry one command frame and its
 * reply per call, report failures as negative codes with a last-error text, and
 * reprogram the unit's firmware in the background.
 *
 * Every function returns a 32-bit signed result; a negative result is a failure
 * (QIO_ProgState also reports a failed reprogramming run that way). After a failure
 * QIO_LastError delivers "<failure name>\n\r<operation label>".
 *
 * The library holds at most one open port and takes no locks: callers must not
 * overlap calls that use the port. */
#ifndef QELIO32_H
#define QELIO32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QIO_API __attribute__((visibility("default")))
#else
#define QIO_API
#endif

/* Result codes of failures. */
enum QIO_Result {
    QIO_OK = 0,
    QIO_ERR_PORTDATAIO = -1,   /* USB_IO.ERROR_PORTDATAIO, USB_IO.ERROR_PORTNUMBER */
    QIO_ERR_PORTSEARCH = -2,   /* USB_IO.ERROR_PORTSEARCH */
    QIO_ERR_TIMEOUT = -3,      /* FRAME.ERROR_TIMEOUT */
    QIO_ERR_REPLYLENGTH = -4,  /* FRAME.ERROR_REPLYLENGTH */
    QIO_ERR_MISMATCH = -6,     /* DEVICE.ERROR_MISMATCH */
    QIO_ERR_INCOMPATIBLE = -7, /* REPROG.ERROR_INCOMPATIBLE */
    QIO_ERR_DATACHECKSUM = -8, /* REPROG.ERROR_DATACHECKSUM */
    QIO_ERR_CONSTRAINT = -11,  /* CONSTRAINT_ERROR */
    QIO_ERR_CALLTOAPI = -12,   /* ERRORS.ERROR_CALLTOAPI: a text buffer too small */
    QIO_ERR_PORTSTATUS = -14,  /* USB_IO.ERROR_PORTSTATUS */
    QIO_ERR_OTHER = -100       /* every other failure kind */
};

/* Size of a command buffer that holds every reply. */
#define QIO_COMMAND_BUFFER 528

QIO_API int32_t QIO_PortCount(void);
QIO_API int32_t QIO_PortName(int32_t port, char* buffer, int32_t size);
QIO_API int32_t QIO_OpenPort(int32_t port);
QIO_API int32_t QIO_FreePort(void);
QIO_API int32_t QIO_Command(uint8_t* buffer, int32_t* length);
QIO_API int32_t QIO_LastError(char* buffer, int32_t size);
QIO_API int32_t QIO_Version(char* buffer, int32_t size);
QIO_API int32_t QIO_Reset(void);
QIO_API int32_t QIO_Reprogram(const char* path);
QIO_API int32_t QIO_ProgState(void);

#ifdef __cplusplus
}
#endif

#endif
