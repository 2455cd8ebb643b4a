// Internal hooks for the library's own tests: bring every component back to the state it
// has when the library is loaded. Not for use while a call into the library is running.
#pragma once

namespace qelio::testing {

// All of the below: port state, purge flag, last-error text.
void ResetLibraryState();

void ClearLastError();   // ERRORS
void ResetPortState();   // USB_IO: no handle, no port number, LockCheck armed, no reset
void ResetFrameState();  // FRAME: PurgePending set

}  // namespace qelio::testing
