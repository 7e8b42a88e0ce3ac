#include "app/ui/recovery_offer_input.h"

#include <windows.h>

#include <ctime>
#include <filesystem>

#include "unicode/utf.h"

namespace {

std::u16string number(long long value, int width = 0) {
    std::string digits = std::to_string(value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    return unicode::fromUtf8(digits);
}

std::u16string localTime(std::int64_t seconds) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
#ifdef _WIN32
    // FILETIME counts 100 ns from 1601; 11,644,473,600 s lie between 1601 and 1970.
    const auto ticks = static_cast<unsigned long long>(seconds + 11644473600LL) * 10000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME local{};
    SYSTEMTIME parts{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts)) return u"?";
    year = parts.wYear;
    month = parts.wMonth;
    day = parts.wDay;
    hour = parts.wHour;
    minute = parts.wMinute;
#else
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (localtime_r(&time, &parts) == nullptr) return u"?";
    year = parts.tm_year + 1900;
    month = parts.tm_mon + 1;
    day = parts.tm_mday;
    hour = parts.tm_hour;
    minute = parts.tm_min;
#endif
    return number(year) + u"-" + number(month, 2) + u"-" + number(day, 2) + u" " + number(hour, 2) + u":" +
           number(minute, 2);
}

// <name>.<pid>-<n>.backup: the name of the file the save was rewriting.
std::u16string backedUpName(const std::u16string& path) {
    std::u16string name = std::filesystem::path(path).filename().u16string();
    const std::size_t dot = name.rfind(u'.', name.size() - sizeof(".backup"));
    return dot == std::u16string::npos ? name : name.substr(0, dot);
}

void hide(RecoveryOffer& offer) {
    offer.shown = false;
}

}  // namespace

std::u16string recoveryOfferLabel(const LeftRecoveryFile& file) {
    std::u16string label =
        localTime(file.modified) + u"   " + number(static_cast<long long>(file.nodes)) + u" 个节点   ";
    if (file.kind == LeftRecoveryFile::Kind::backup) {
        label += u"中断的保存的备份: " + backedUpName(file.path);
    } else {
        label += u"未保存的修改";
    }
    return label;
}

RecoveryOffer makeRecoveryOffer(const std::vector<LeftRecoveryFile>& left) {
    RecoveryOffer offer;
    for (const LeftRecoveryFile& file : left) offer.entries.push_back({file.path, recoveryOfferLabel(file)});
    offer.shown = !offer.entries.empty();
    return offer;
}

void openOffered(MindMap& mindMap, RecoveryOffer& offer) {
    if (offer.selected >= offer.entries.size()) return;
    // Opened as any file is; a failure says why in the status bar. The copy stays until saved.
    mindMap.loadFromFile(offer.entries[offer.selected].path);
    hide(offer);
}

void ignoreOffer(RecoveryOffer& offer) {
    hide(offer);
}

void discardOffered(MindMap& mindMap, RecoveryOffer& offer) {
    if (offer.selected >= offer.entries.size()) return;
    const std::u16string path = offer.entries[offer.selected].path;
    if (!discardRecoveryFile(path)) {
        mindMap.fileFailure = u"删除失败: " + path;
        return;
    }
    offer.entries.erase(offer.entries.begin() + static_cast<std::ptrdiff_t>(offer.selected));
    if (offer.selected >= offer.entries.size() && offer.selected > 0) --offer.selected;
    if (offer.entries.empty()) hide(offer);
}

void dispatchOfferInput(MindMap& mindMap, RecoveryOffer& offer, const Gfx::InputMessage& message) {
    if (message.kind == WM_KEYDOWN || message.kind == WM_LBUTTONDOWN) mindMap.fileFailure.clear();
    if (message.kind == WM_KEYDOWN) {
        switch (message.key.keyCode) {
            case VK_UP:
                if (offer.selected > 0) --offer.selected;
                break;
            case VK_DOWN:
                if (offer.selected + 1 < offer.entries.size()) ++offer.selected;
                break;
            case VK_RETURN:
                openOffered(mindMap, offer);
                break;
            case VK_ESCAPE:
                ignoreOffer(offer);
                break;
            case VK_DELETE:
                discardOffered(mindMap, offer);
                break;
            default:
                break;
        }
        return;
    }
    // The panel's buttons still light up under the pointer; they act only once the offer is gone.
    if (message.kind == WM_MOUSEMOVE) mindMap.updateButtonHover(message.mouse.x, message.mouse.y);
    if (message.kind != WM_LBUTTONDOWN) return;
    const int x = message.mouse.x;
    const int y = message.mouse.y;
    const RecoveryOfferLayout layout = recoveryOfferLayout(mindMap.panelWidth, offer.entries.size());
    if (layout.open.contains(x, y)) {
        openOffered(mindMap, offer);
    } else if (layout.ignore.contains(x, y)) {
        ignoreOffer(offer);
    } else if (layout.discard.contains(x, y)) {
        discardOffered(mindMap, offer);
    } else {
        const std::size_t first = firstOfferRow(offer.selected);
        for (std::size_t shown = 0; shown < layout.rows && first + shown < offer.entries.size(); ++shown) {
            if (offerRow(layout, shown).contains(x, y)) offer.selected = first + shown;
        }
    }
}
