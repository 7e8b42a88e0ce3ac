// An ELF executable holds no icon resources, so there is never an icon to extract.
#include <windows.h>

HICON WINAPI ExtractIconW(HINSTANCE, LPCWSTR, UINT) {
    return nullptr;
}
