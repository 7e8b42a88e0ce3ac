// The Control test of the key commands, on the platform's asynchronous key state.
#include <windows.h>

#include "app/ui/dispatch.h"

bool isControlKeyDown() {
    return GetAsyncKeyState(VK_CONTROL) != 0;
}
