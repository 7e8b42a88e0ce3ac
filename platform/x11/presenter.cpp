// Presentation with MIT-SHM where the server offers it: the block is copied into one of two
// shared segments and XShmPutImage tells the server to read it, so a frame costs one copy
// and no round trip; a segment is reused once the server has finished with it. Without
// MIT-SHM (a remote display, or no shared memory) XPutImage sends the pixels in the request.
#include "platform/x11/presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gdi32/window_surface.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::x11 {

namespace {

struct SharedBuffer {
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    unsigned long serial = 0;  // of the last XShmPutImage that reads this buffer
    bool inFlight = false;
};

struct Presenter {
    bool checked = false;
    bool sharedMemoryAllowed = true;
    bool sharedMemory = false;
    bool directPixels = false;  // the server's 32-bit pixels are 0x00RRGGBB in host order
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    std::array<SharedBuffer, 2> buffers{};
    int next = 0;
    int width = 0;
    int height = 0;
};

Presenter& presenter() {
    static auto* instance = new Presenter;
    return *instance;
}

bool hostIsLittleEndian() {
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

void check(Display* display, Presenter& p) {
    p.checked = true;
    const int screen = DefaultScreen(display);
    p.visual = DefaultVisual(display, screen);
    p.depth = DefaultDepth(display, screen);
    p.gc = XCreateGC(display, RootWindow(display, screen), 0, nullptr);
    p.directPixels = (p.depth == 24 || p.depth == 32) && p.visual->red_mask == 0xFF0000 &&
                     p.visual->green_mask == 0xFF00 && p.visual->blue_mask == 0xFF &&
                     (ImageByteOrder(display) == LSBFirst) == hostIsLittleEndian();
    p.sharedMemory = p.sharedMemoryAllowed && p.directPixels && XShmQueryExtension(display) == True;
}

void releaseBuffer(Display* display, SharedBuffer& buffer) {
    if (buffer.image == nullptr) return;
    XShmDetach(display, &buffer.segment);
    XSync(display, False);
    buffer.image->data = nullptr;
    XDestroyImage(buffer.image);
    shmdt(buffer.segment.shmaddr);
    buffer = SharedBuffer{};
}

bool createBuffer(Display* display, Presenter& p, SharedBuffer& buffer, int width, int height) {
    buffer.image =
        XShmCreateImage(display, p.visual, static_cast<unsigned>(p.depth), ZPixmap, nullptr, &buffer.segment,
                        static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (buffer.image == nullptr) return false;
    if (buffer.image->bits_per_pixel != 32) {
        XDestroyImage(buffer.image);
        buffer = SharedBuffer{};
        return false;
    }
    const auto size =
        static_cast<std::size_t>(buffer.image->bytes_per_line) * static_cast<std::size_t>(height);
    buffer.segment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (buffer.segment.shmid < 0) {
        XDestroyImage(buffer.image);
        buffer = SharedBuffer{};
        return false;
    }
    buffer.segment.shmaddr = static_cast<char*>(shmat(buffer.segment.shmid, nullptr, 0));
    buffer.image->data = buffer.segment.shmaddr;
    buffer.segment.readOnly = True;
    bool attached = buffer.segment.shmaddr != reinterpret_cast<char*>(-1);
    if (attached) {
        xBeginErrorTrap();
        XShmAttach(display, &buffer.segment);
        attached = !xEndErrorTrap();
    }
    // Marked for removal now: it goes away with the last detach, even if the process dies.
    shmctl(buffer.segment.shmid, IPC_RMID, nullptr);
    if (!attached) {
        if (buffer.segment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(buffer.segment.shmaddr);
        buffer.image->data = nullptr;
        XDestroyImage(buffer.image);
        buffer = SharedBuffer{};
        return false;
    }
    return true;
}

// Both buffers cover at least width × height; false when shared memory does not work.
bool ensureBuffers(Display* display, Presenter& p, int width, int height) {
    if (p.width >= width && p.height >= height && p.buffers[0].image != nullptr) return true;
    const int newWidth = std::max(p.width, width);
    const int newHeight = std::max(p.height, height);
    for (auto& buffer : p.buffers) releaseBuffer(display, buffer);
    for (auto& buffer : p.buffers) {
        if (!createBuffer(display, p, buffer, newWidth, newHeight)) {
            for (auto& created : p.buffers) releaseBuffer(display, created);
            p.width = p.height = 0;
            return false;
        }
    }
    p.width = newWidth;
    p.height = newHeight;
    return true;
}

// Copies into the shared segment with stores that bypass the cache: the server reads the
// segment, this process never does, so filling the cache with it only costs time.
void streamCopy(char* target, const char* source, std::size_t bytes) {
    std::size_t done = 0;
#if defined(__SSE2__)
    if (reinterpret_cast<std::uintptr_t>(target) % 16 == 0) {
        for (; done + 64 <= bytes; done += 64) {
            const auto* from = reinterpret_cast<const __m128i*>(source + done);
            auto* to = reinterpret_cast<__m128i*>(target + done);
            const __m128i a = _mm_loadu_si128(from);
            const __m128i b = _mm_loadu_si128(from + 1);
            const __m128i c = _mm_loadu_si128(from + 2);
            const __m128i d = _mm_loadu_si128(from + 3);
            _mm_stream_si128(to, a);
            _mm_stream_si128(to + 1, b);
            _mm_stream_si128(to + 2, c);
            _mm_stream_si128(to + 3, d);
        }
    }
#endif
    std::memcpy(target + done, source + done, bytes - done);
}

void copyBlock(const std::uint32_t* pixels, int stride, int srcX, int srcY, int width, int height,
               char* target, int targetStride, int dstX, int dstY) {
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    if (srcX == 0 && dstX == 0 && stride == width && targetStride == width * 4) {
        // Whole rows on both sides: one run.
        streamCopy(target + static_cast<std::ptrdiff_t>(dstY) * targetStride,
                   reinterpret_cast<const char*>(pixels + static_cast<std::ptrdiff_t>(srcY) * stride),
                   rowBytes * static_cast<std::size_t>(height));
    } else {
        for (int row = 0; row < height; ++row) {
            const std::uint32_t* from =
                pixels + static_cast<std::ptrdiff_t>(srcY + row) * stride + static_cast<std::ptrdiff_t>(srcX);
            char* to = target + static_cast<std::ptrdiff_t>(dstY + row) * targetStride +
                       static_cast<std::ptrdiff_t>(dstX) * 4;
            streamCopy(to, reinterpret_cast<const char*>(from), rowBytes);
        }
    }
#if defined(__SSE2__)
    _mm_sfence();  // the streamed stores are visible before the server is asked to read
#endif
}

void presentShared(Display* display, Presenter& p, ::Window xid, const std::uint32_t* pixels, int stride,
                   int srcX, int srcY, int width, int height, int dstX, int dstY) {
    SharedBuffer& buffer = p.buffers[static_cast<std::size_t>(p.next)];
    p.next = 1 - p.next;
    if (buffer.inFlight && LastKnownRequestProcessed(display) < buffer.serial) XSync(display, False);
    copyBlock(pixels, stride, srcX, srcY, width, height, buffer.image->data, buffer.image->bytes_per_line,
              dstX, dstY);
    buffer.serial = NextRequest(display);
    buffer.inFlight = true;
    XShmPutImage(display, xid, p.gc, buffer.image, dstX, dstY, dstX, dstY, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), True);
}

void presentPlain(Display* display, Presenter& p, ::Window xid, const std::uint32_t* pixels, int stride,
                  int srcX, int srcY, int width, int height, int dstX, int dstY) {
    const std::uint32_t* first =
        pixels + static_cast<std::ptrdiff_t>(srcY) * stride + static_cast<std::ptrdiff_t>(srcX);
    XImage* image = XCreateImage(display, p.visual, static_cast<unsigned>(p.depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<std::uint32_t*>(first)),
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, stride * 4);
    if (image == nullptr) return;
    if (p.directPixels && image->bits_per_pixel == 32) {
        XPutImage(display, xid, p.gc, image, 0, 0, dstX, dstY, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
        image->data = nullptr;
        XDestroyImage(image);
        return;
    }
    // Another pixel layout: let Xlib convert each pixel.
    image->data = nullptr;
    XDestroyImage(image);
    XImage* converted = XCreateImage(display, p.visual, static_cast<unsigned>(p.depth), ZPixmap, 0, nullptr,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (converted == nullptr) return;
    converted->data = static_cast<char*>(
        std::malloc(static_cast<std::size_t>(converted->bytes_per_line) * static_cast<std::size_t>(height)));
    if (converted->data == nullptr) {
        XDestroyImage(converted);
        return;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = first[static_cast<std::ptrdiff_t>(y) * stride + x];
            XColor colour{};
            colour.red = static_cast<unsigned short>(((pixel >> 16) & 0xFF) * 257);
            colour.green = static_cast<unsigned short>(((pixel >> 8) & 0xFF) * 257);
            colour.blue = static_cast<unsigned short>((pixel & 0xFF) * 257);
            const auto shift = [](unsigned long mask, unsigned short value) {
                unsigned long result = value;
                int top = 0;
                for (unsigned long m = mask; m != 0; m >>= 1) ++top;
                return top >= 16 ? (result << (top - 16)) & mask : (result >> (16 - top)) & mask;
            };
            XPutPixel(converted, x, y,
                      shift(p.visual->red_mask, colour.red) | shift(p.visual->green_mask, colour.green) |
                          shift(p.visual->blue_mask, colour.blue));
        }
    }
    XPutImage(display, xid, p.gc, converted, 0, 0, dstX, dstY, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XDestroyImage(converted);
}

}  // namespace

void presentPixels(HWND window, const std::uint32_t* pixels, int stride, int srcX, int srcY, int width,
                   int height, int dstX, int dstY) {
    if (pixels == nullptr || width <= 0 || height <= 0 || stride <= 0) return;
    XLock lock;
    const user32::WindowRecord* record = user32::findWindow(window);
    if (record == nullptr || record->destroying) return;
    Display* display = xDisplay();
    Presenter& p = presenter();
    if (!p.checked) check(display, p);
    // Clip to the client area, moving the source corner with the destination.
    gdi32::clipCopyStart(dstX, srcX, width);
    gdi32::clipCopyStart(dstY, srcY, height);
    width = std::min(width, record->width - dstX);
    height = std::min(height, record->height - dstY);
    if (width <= 0 || height <= 0 || srcX < 0 || srcY < 0) return;
    if (p.sharedMemory && !ensureBuffers(display, p, record->width, record->height)) p.sharedMemory = false;
    if (p.sharedMemory) {
        presentShared(display, p, record->xid, pixels, stride, srcX, srcY, width, height, dstX, dstY);
    } else {
        presentPlain(display, p, record->xid, pixels, stride, srcX, srcY, width, height, dstX, dstY);
    }
}

void allowPresenterSharedMemory(bool allowed) {
    XLock lock;
    Presenter& p = presenter();
    p.sharedMemoryAllowed = allowed;
    p.checked = false;
    if (p.gc != nullptr && xDisplayOpened()) XFreeGC(xDisplay(), p.gc);
    p.gc = nullptr;
}

bool presenterUsesSharedMemory() {
    XLock lock;
    Display* display = xDisplay();
    if (display == nullptr) return false;
    Presenter& p = presenter();
    if (!p.checked) check(display, p);
    return p.sharedMemory;
}

}  // namespace platform::x11
