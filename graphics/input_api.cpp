// The input functions of the API (program's thread only), mouse capture and the text caret.
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

bool peekInputMessage(InputMessage* message, BYTE filter, bool remove) {
    GraphWnd* window = library.graphWindow;
    return window != nullptr && window->queue.peek(message, filter, remove);
}

void getInputMessage(InputMessage* message, BYTE filter) {
    if (GraphWnd* window = library.graphWindow) {
        window->takeInput(message, filter);
    } else if (message != nullptr) {
        *message = InputMessage{};
    }
}

InputMessage getInputMessage(BYTE filter) {
    InputMessage message{};
    getInputMessage(&message, filter);
    return message;
}

void flushInputMessages(BYTE filter) {
    if (GraphWnd* window = library.graphWindow) window->queue.flush(filter);
}

void captureMouse() {
    if (GraphWnd* window = library.graphWindow) window->captureMouse();
}

void releaseMouse() {
    if (GraphWnd* window = library.graphWindow) window->releaseMouse();
}

void setTextCaret(int x, int y, int height) {
    if (GraphWnd* window = library.graphWindow) window->placeTextCaret(CaretPlace{true, x, y, height});
}

void hideTextCaret() {
    if (GraphWnd* window = library.graphWindow) window->placeTextCaret(CaretPlace{});
}

}  // namespace Gfx
