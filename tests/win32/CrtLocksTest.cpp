// The C runtime's numbered locks that every program defines itself
// (src/compat/CrtLocks.cpp) instead of importing them from msvcrt.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern "C" void __cdecl _lock(int number);
extern "C" void __cdecl _unlock(int number);

namespace {

struct TryArgs {
    int number;
    HANDLE taken;  // set once the other thread holds the lock
};

DWORD WINAPI TakeAndRelease(void* p)
{
    TryArgs* args = static_cast<TryArgs*>(p);
    _lock(args->number);
    SetEvent(args->taken);
    _unlock(args->number);
    return 0;
}

// Starts a thread that takes lock NUMBER; true when it got it within MS.
bool OtherThreadGets(int number, DWORD ms, HANDLE* thread, HANDLE* taken)
{
    static TryArgs args;
    args.number = number;
    args.taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    *taken = args.taken;
    *thread = CreateThread(nullptr, 0, TakeAndRelease, &args, 0, nullptr);
    return WaitForSingleObject(args.taken, ms) == WAIT_OBJECT_0;
}

// The functions this program imports from DLL, read from its own import table.
std::vector<std::string> ImportsFrom(const char* dll)
{
    std::vector<std::string> names;
    const BYTE* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return names;
    for (const IMAGE_IMPORT_DESCRIPTOR* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        DWORD lookup = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (const IMAGE_THUNK_DATA* t = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + lookup); t->u1.AddressOfData;
             ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)) continue;
            const IMAGE_IMPORT_BY_NAME* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData);
            names.push_back(reinterpret_cast<const char*>(byName->Name));
        }
    }
    return names;
}

}  // namespace

TEST(CrtLocks, AreDefinedByTheProgramNotImported) {
    std::vector<std::string> crt = ImportsFrom("msvcrt.dll");
    ASSERT_FALSE(crt.empty()) << "the test program imports nothing from msvcrt.dll";
    for (const std::string& name : crt) {
        EXPECT_NE(name, "_lock");
        EXPECT_NE(name, "_unlock");
    }
}

TEST(CrtLocks, ALockIsRecursiveForItsThread) {
    _lock(20);
    _lock(20);
    _unlock(20);
    _unlock(20);
    HANDLE thread, taken;
    EXPECT_TRUE(OtherThreadGets(20, 5000, &thread, &taken));
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(taken);
}

TEST(CrtLocks, AHeldLockKeepsOtherThreadsOutUntilItIsReleased) {
    _lock(17);
    HANDLE thread, taken;
    EXPECT_FALSE(OtherThreadGets(17, 300, &thread, &taken));
    _unlock(17);
    EXPECT_EQ(WaitForSingleObject(taken, 5000), WAIT_OBJECT_0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(taken);
}

TEST(CrtLocks, LocksOfOtherNumbersStayFree) {
    _lock(8);
    HANDLE thread, taken;
    EXPECT_TRUE(OtherThreadGets(9, 5000, &thread, &taken));
    _unlock(8);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(taken);
}

TEST(CrtLocks, PrintfThroughTheLockedStreamsStillWorks) {
    // The MinGW printf family takes these locks around each stream.
    char path[MAX_PATH];
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof dir, dir), 0u);
    ASSERT_NE(GetTempFileNameA(dir, "crt", 0, path), 0u);
    FILE* f = std::fopen(path, "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "%d-%s", 42, "x");
    std::fclose(f);
    f = std::fopen(path, "r");
    ASSERT_NE(f, nullptr);
    char text[16] = {};
    ASSERT_NE(std::fgets(text, sizeof text, f), nullptr);
    std::fclose(f);
    DeleteFileA(path);
    EXPECT_STREQ(text, "42-x");
}
