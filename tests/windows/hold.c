/* hold FILE FLAG: holds FILE open with no sharing, as an editor may, then creates FLAG, and
   lets go once FLAG is deleted. */
#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3
        || CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL)
            == INVALID_HANDLE_VALUE
        || !CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL)))
        return 1;
    while (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES)
        Sleep(100);
    return 0;
}
