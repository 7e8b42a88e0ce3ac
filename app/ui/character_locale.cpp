#include "app/ui/character_locale.h"

#ifndef _WIN32
#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace {
bool utf8Codeset() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}
}  // namespace

void useUtf8CharacterLocale() {
    if (std::setlocale(LC_CTYPE, "") != nullptr && utf8Codeset()) return;
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "C");
}

#else

void useUtf8CharacterLocale() {}

#endif
