// The CLIPBOARD selection: this process as its owner, answering other clients' requests on the
// input reader thread (TARGETS and every target it holds, big data in INCR steps), and as a
// requester converting the owner's data with a deadline.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>

namespace platform::x11 {

// Target atom -> the bytes offered under it (UTF8_STRING for text).
using SelectionContent = std::map<Atom, std::string>;

// With XLock held and the display open: an atom by name.
Atom xAtomNamed(const char* name);

// Makes this process the CLIPBOARD's owner offering content. False when there is no display
// or the server did not give the selection.
bool xOwnClipboard(SelectionContent content);
// True while this process owns CLIPBOARD (until another client takes it), as the server says now.
bool xClipboardOwned();

enum class SelectionFetch { Got, Missing, NoAnswer };
// The CLIPBOARD's data under target, converted by its owner (never this process). NoAnswer when
// the owner said nothing for timeoutMs (INCR steps each get the same time again). Called without
// XLock.
SelectionFetch xFetchClipboard(Atom target, std::string& bytes, int timeoutMs);

// With XLock held, for each event the pump reads: true when the event was the selection's.
bool handleSelectionEvent(Display* display, XEvent& event);

}  // namespace platform::x11
