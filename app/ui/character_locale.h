// The character locale the whole program runs under, set once at its start.
#pragma once

// Makes the character classification (LC_CTYPE) a UTF-8 one: the environment's own when it
// is UTF-8, else C.UTF-8. Input methods convert their committed text by the locale they were
// opened under, and Chinese is lost under "C". Only the character part changes: numbers are
// still written and read the classic way. Must run before any thread starts: setlocale is not
// safe while others run. Nothing on Windows, whose text is UTF-16 throughout.
void useUtf8CharacterLocale();
