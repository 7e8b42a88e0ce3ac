// Linux stand-in for <imm.h>: the input method manager's types that a program passes to
// imm32 when it binds it by name. There is no imm32 here: LoadLibraryW("imm32.dll") fails,
// and the caret (CreateCaret, SetCaretPos) tells the X input method where to open.
#pragma once

#include "win32_types.h"

#define CFS_DEFAULT 0x0000
#define CFS_RECT 0x0001
#define CFS_POINT 0x0002
#define CFS_FORCE_POSITION 0x0020
#define CFS_CANDIDATEPOS 0x0040
#define CFS_EXCLUDE 0x0080

typedef struct tagCOMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
} COMPOSITIONFORM, *LPCOMPOSITIONFORM;

typedef struct tagCANDIDATEFORM {
    DWORD dwIndex;
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
} CANDIDATEFORM, *LPCANDIDATEFORM;
