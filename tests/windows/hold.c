/* hold FILE FLAG: keeps FILE open with no sharing, as an editor may, until FLAG is deleted.
   Creates FLAG once the file is held, so that the test knows when to go on. */
#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return 1;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    const HANDLE flag = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_DELETE, NULL,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (flag == INVALID_HANDLE_VALUE)
        return 3;
    CloseHandle(flag);
    while (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES)
        Sleep(100);
    CloseHandle(file);
    return 0;
}
