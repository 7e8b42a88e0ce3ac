// The program's text caret: the requests of the program's thread (with the API's setTextCaret
// and hideTextCaret) and their application on the window thread, to the window's caret and,
// through imm32 where the system has it, to the input method context.
#include "graphics/text_caret.h"

#include <imm.h>

#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

// imm32, bound by name: a system without it (or the Linux stand-in, where the caret alone
// places the X input method) still has the caret.
struct ImmFunctions {
    HIMC(WINAPI* getContext)(HWND) = nullptr;
    BOOL(WINAPI* releaseContext)(HWND, HIMC) = nullptr;
    BOOL(WINAPI* setCompositionWindow)(HIMC, LPCOMPOSITIONFORM) = nullptr;
    BOOL(WINAPI* setCandidateWindow)(HIMC, LPCANDIDATEFORM) = nullptr;
};

// Going through void(*)() is the portable, warning-free way between function pointer types.
template <typename Function>
void bind(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const ImmFunctions& imm() {
    static const ImmFunctions functions = [] {
        ImmFunctions f;
        HMODULE module = LoadLibraryW(TEXT("imm32.dll"));
        if (module == nullptr) return f;
        bind(module, "ImmGetContext", f.getContext);
        bind(module, "ImmReleaseContext", f.releaseContext);
        bind(module, "ImmSetCompositionWindow", f.setCompositionWindow);
        bind(module, "ImmSetCandidateWindow", f.setCandidateWindow);
        return f;
    }();
    return functions;
}

void placeInputMethodWindows(HWND window, const CaretPlace& place) {
    const ImmFunctions& f = imm();
    if (f.getContext == nullptr || f.releaseContext == nullptr) return;
    HIMC context = f.getContext(window);
    if (context == nullptr) return;
    if (f.setCompositionWindow != nullptr) {
        COMPOSITIONFORM composition{};
        composition.dwStyle = CFS_POINT;
        composition.ptCurrentPos = POINT{place.x, place.y};
        f.setCompositionWindow(context, &composition);
    }
    if (f.setCandidateWindow != nullptr) {
        // Below the caret, clear of the line being typed.
        CANDIDATEFORM candidate{};
        candidate.dwIndex = 0;
        candidate.dwStyle = CFS_CANDIDATEPOS;
        candidate.ptCurrentPos = POINT{place.x, place.y + place.height};
        f.setCandidateWindow(context, &candidate);
    }
    f.releaseContext(window, context);
}

}  // namespace

bool TextCaret::request(const CaretPlace& place) {
    std::lock_guard lock(mutex_);
    if (place == requested_) return false;
    requested_ = place;
    return true;
}

void TextCaret::apply(HWND window) {
    CaretPlace place;
    {
        std::lock_guard lock(mutex_);
        place = requested_;
    }
    if (place == applied_) return;
    if (!place.shown) {
        DestroyCaret();
    } else {
        if (!applied_.shown || applied_.height != place.height) CreateCaret(window, nullptr, 1, place.height);
        SetCaretPos(place.x, place.y);
        placeInputMethodWindows(window, place);
    }
    applied_ = place;
}

void setTextCaret(int x, int y, int height) {
    if (GraphWnd* window = library.graphWindow) window->placeTextCaret(CaretPlace{true, x, y, height});
}

void hideTextCaret() {
    if (GraphWnd* window = library.graphWindow) window->placeTextCaret(CaretPlace{});
}

}  // namespace Gfx
