// Rich text: the code views and the skip list, RichEdit controls that take
// their text as one RTF document in the control's own font, and put exactly
// the selected text on the clipboard.
#include "platform/win32/win32_backend.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "core/styled_text.h"

namespace lumetra::platform::win32 {

struct StreamCursor {
    const std::string* text = nullptr;
    std::size_t offset = 0;
};

static DWORD CALLBACK stream_in(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given)
{
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    const std::size_t left = cursor->text->size() - cursor->offset;
    const std::size_t n = std::min(left, static_cast<std::size_t>(wanted));
    std::memcpy(buffer, cursor->text->data() + cursor->offset, n);
    cursor->offset += n;
    *given = static_cast<LONG>(n);
    return 0;
}

static DWORD CALLBACK stream_out(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken)
{
    auto* text = reinterpret_cast<std::string*>(cookie);
    text->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
    *taken = count;
    return 0;
}

// The rich text is written in the control's own font (the code views'
// fixed-pitch face, the skip list's default one): the face, size, family and
// pitch of the font it was made with. The charset asks for the face's Cyrillic
// glyphs, so that Russian text stays in that face.
static RtfFont face_of(Font font)
{
    LOGFONTW logical{};
    GetObjectW(font_of(font), sizeof logical, &logical);
    RtfFont face;
    face.face = narrow(logical.lfFaceName);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int pixels = logical.lfHeight < 0 ? -logical.lfHeight : logical.lfHeight;
    // A whole point size that gives back the same pixel height comes first
    // (8 pt is 11 pixels at 96 dpi, not 8.5 pt).
    const int points = MulDiv(pixels, 72, dpi);
    face.half_points = pixels == 0 ? 16 : MulDiv(points, dpi, 72) == pixels ? points * 2 : MulDiv(pixels, 144, dpi);
    switch (logical.lfPitchAndFamily & 0xF0) {
    case FF_MODERN: face.family = "fmodern"; break;
    case FF_SWISS: face.family = "fswiss"; break;
    case FF_ROMAN: face.family = "froman"; break;
    default: face.family = "fnil"; break;
    }
    switch (logical.lfPitchAndFamily & 0x03) {
    case FIXED_PITCH: face.pitch = 1; break;
    case VARIABLE_PITCH: face.pitch = 2; break;
    default: face.pitch = 0; break;
    }
    face.charset = logical.lfCharSet == ANSI_CHARSET || logical.lfCharSet == DEFAULT_CHARSET ? RUSSIAN_CHARSET
                                                                                               : logical.lfCharSet;
    return face;
}

// The same face as the control's default character format, for text typed or
// appended outside the streamed document; no automatic switch to another face
// for characters of another script.
static void set_default_format(HWND rich, Font font)
{
    const RtfFont face = face_of(font);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_COLOR | CFM_CHARSET;
    format.yHeight = face.half_points * 10;  // twips
    format.bPitchAndFamily = static_cast<BYTE>(face.pitch | (face.family == "fmodern" ? FF_MODERN
                                                             : face.family == "fswiss" ? FF_SWISS
                                                             : face.family == "froman" ? FF_ROMAN
                                                                                       : FF_DONTCARE));
    format.bCharSet = static_cast<BYTE>(face.charset);
    format.dwEffects = CFE_AUTOCOLOR;
    lstrcpynW(format.szFaceName, widen(face.face).c_str(), LF_FACESIZE);
    SendMessageW(rich, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(rich, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const auto options = SendMessageW(rich, EM_GETLANGOPTIONS, 0, 0);
    SendMessageW(rich, EM_SETLANGOPTIONS, 0, options & ~static_cast<LPARAM>(IMF_AUTOFONT | IMF_DUALFONT));
}

void prepare_rich_text(ControlRecord& record, const ControlSpec& spec)
{
    // No word wrap; room for long skip lists; the control's font and colours.
    SendMessageW(record.hwnd, EM_SETTARGETDEVICE, 0, 1);
    SendMessageW(record.hwnd, EM_EXLIMITTEXT, 0, 16 * 1024 * 1024);
    if (spec.background)
        SendMessageW(record.hwnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(colour_ref(*spec.background)));
    set_default_format(record.hwnd, spec.font);
    if (!spec.text.empty()) set_rich_text(spec.id, {spec.text});
}

void set_rich_plain_text(const ControlRecord& record, const std::string& text)
{
    set_rich_text(record.id, split_lines(text));
}

std::string rich_plain_text(const ControlRecord& record)
{
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    const auto n = SendMessageW(record.hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    request.flags = GT_USECRLF;
    request.codepage = 1200;
    const auto got = SendMessageW(record.hwnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                  reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<std::size_t>(got));
    return narrow(wide);
}

// The selected characters, the closing paragraph mark that select-all takes
// in left out; the control ends its paragraphs in a lone CR.
static std::wstring selected_text(HWND rich)
{
    CHARRANGE range{};
    SendMessageW(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
    const LONG end = static_cast<LONG>(SendMessageW(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    if (range.cpMax < 0 || range.cpMax > end) range.cpMax = end;
    if (range.cpMin >= range.cpMax) return {};
    std::wstring text(static_cast<std::size_t>(range.cpMax - range.cpMin) + 1, L'\0');
    TEXTRANGEW request{range, text.data()};
    const auto got = SendMessageW(rich, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

// Every line end (CR LF, a lone CR or a lone LF) as CR LF, the clipboard's own.
static std::wstring with_crlf(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            out += L"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// Unicode text of exactly this length and its closing NUL, nothing after it.
static void put_on_clipboard(HWND owner, const std::wstring& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);  // owned by the clipboard once set
    CloseClipboard();
}

}  // namespace lumetra::platform::win32

namespace lumetra::platform {
using namespace win32;

void set_rich_text(int id, const std::vector<std::string>& lines, const std::vector<StyledRun>& runs)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return;
    // One document streamed in at once: under Wine far faster than
    // formatting range by range (0.15 s for a whole skip list).
    const std::string rtf = styled_text_as_rtf({lines, runs}, face_of(record->font));
    StreamCursor cursor{&rtf, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cursor), 0, stream_in};
    SendMessageW(record->hwnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // RichEdit takes a \par at the very end as its own closing paragraph, so
    // a last empty line (listings end with one) is given back here.
    const auto held = SendMessageW(record->hwnd, EM_GETLINECOUNT, 0, 0);
    if (lines.size() > 1 && held < static_cast<LRESULT>(lines.size())) {
        GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
        const auto end = SendMessageW(record->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
        SendMessageW(record->hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageW(record->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
    }
    record->rich_lines = static_cast<int>(lines.size());
    SendMessageW(record->hwnd, EM_SETSEL, 0, 0);
    SendMessageW(record->hwnd, EM_SCROLLCARET, 0, 0);
}

void append_rich_line(int id, const std::string& line)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return;
    std::wstring wide = (record->rich_lines > 0 ? L"\r" : L"") + widen(line);
    GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
    const auto end = SendMessageW(record->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    SendMessageW(record->hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(record->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    ++record->rich_lines;
}

// The selection put on the clipboard here rather than by the control's own
// copy, which under Wine hands X a closing NUL and a stray character after
// the text. An empty selection gives an empty text, as that copy does.
void copy_selection(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind != ControlKind::RichText) {
        SendMessageW(record->hwnd, WM_COPY, 0, 0);
        return;
    }
    put_on_clipboard(record->hwnd, with_crlf(selected_text(record->hwnd)));
}

std::string rich_text_as_rtf(int id)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return {};
    std::string rtf;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, stream_out};
    SendMessageW(record->hwnd, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return rtf;
}

}  // namespace lumetra::platform
