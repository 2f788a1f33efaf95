#include "platform/AnsiCodePage.h"

namespace pictavo {
namespace {

const AnsiCodePage* g_standIn = nullptr;

}  // namespace

AnsiCodePage AnsiCodePage::Builtin(unsigned number) {
    AnsiCodePage codePage;
    auto mark = [&codePage](unsigned first, unsigned last) {
        for (unsigned b = first; b <= last; ++b)
            codePage.MarkLeadByte(static_cast<unsigned char>(b));
    };
    switch (number) {
        case 932:  // Shift-JIS
            mark(0x81, 0x9F);
            mark(0xE0, 0xFC);
            break;
        case 936:  // GBK
        case 949:  // Unified Hangul
        case 950:  // Big5
            mark(0x81, 0xFE);
            break;
        default:
            break;
    }
    return codePage;
}

std::size_t AnsiCodePage::FindChar(std::string_view text, std::string_view set) const noexcept {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = CharSize(text, at);
        if (size == 1 && set.find(text[at]) != std::string_view::npos) return at;
        at += size;
    }
    return std::string_view::npos;
}

const AnsiCodePage& ProcessAnsiCodePage() noexcept {
    if (g_standIn) return *g_standIn;
    static const AnsiCodePage system = SystemAnsiCodePage();
    return system;
}

ScopedAnsiCodePage::ScopedAnsiCodePage(unsigned number)
    : codePage_(AnsiCodePage::Builtin(number)), previous_(g_standIn) {
    g_standIn = &codePage_;
}

ScopedAnsiCodePage::~ScopedAnsiCodePage() { g_standIn = previous_; }

}  // namespace pictavo
