// The C runtime's numbered locks, defined in the program itself.
//
// The MinGW runtime locks a stream for its printf family with _lock_file,
// which it builds on msvcrt.dll's _lock and _unlock.  The msvcrt.dll of
// Windows NT 4.0 and Windows 98 cannot be relied on to export these two: the
// runtime those versions are compatible with (the export list of MSVCRT40.DLL)
// has neither.  Defined here, they are linked from this object and never
// imported.  Each lock is a recursive critical section; all are created on
// the first call, whichever thread makes it.
#include <windows.h>

namespace {

// msvcrt numbers its locks below 64: the fixed ones first, then one per
// stream of the _iob table.
constexpr unsigned kLockCount = 64;

CRITICAL_SECTION g_locks[kLockCount];
volatile LONG g_claimed = 0;
volatile LONG g_ready = 0;

CRITICAL_SECTION& LockNumber(int number)
{
    if (!g_ready) {
        if (InterlockedExchange(&g_claimed, 1) == 0) {
            for (CRITICAL_SECTION& lock : g_locks) InitializeCriticalSection(&lock);
            InterlockedExchange(&g_ready, 1);
        } else {
            while (!g_ready) Sleep(0);
        }
    }
    return g_locks[static_cast<unsigned>(number) % kLockCount];
}

}  // namespace

extern "C" void __cdecl _lock(int number)
{
    EnterCriticalSection(&LockNumber(number));
}

extern "C" void __cdecl _unlock(int number)
{
    LeaveCriticalSection(&LockNumber(number));
}
