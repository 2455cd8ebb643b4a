/* Optional extension of the device-interface library, beside its ten functions.
 *
 * The library has no user interface of its own. Its three messages (a locked port
 * found and cleared while reading port names, and a handle the driver rejected while
 * closing the port) go to a hook that a program can install to show them; without a
 * hook they are written to standard error and the call goes on at once. A hook runs on
 * the calling thread and the library call waits until it returns. */
#ifndef QELIO32_HOOKS_H
#define QELIO32_HOOKS_H

#include "qelio32.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*QELIO32_MessageHook)(const char* caption, const char* text, void* context);

/* Installs `hook` (NULL removes it). */
QIO_API void QELIO32_SetMessageHook(QELIO32_MessageHook hook, void* context);

#ifdef __cplusplus
}
#endif

#endif
