#include "Notify.h"

BOOL NotifyShell(DWORD message, NOTIFYICONDATAA *data)
{
    return Shell_NotifyIconA(message, data);
}
