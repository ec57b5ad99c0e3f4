// Built into lumetra-cli.exe only: the one file of cli/ that talks to Windows.
#include "cli/windows_console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <iostream>
#include <streambuf>
#include <string>

namespace lumetra::cli {

namespace {

// The bytes up to the last whole UTF-8 character: std::cerr flushes after
// each piece of a message, and a character must not be cut in two.
std::size_t whole_characters(const std::string& bytes)
{
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override { return write_pending() ? 0 : -1; }

private:
    bool write_pending()
    {
        const std::size_t end = whole_characters(pending_);
        if (end == 0) return true;
        const int length = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(end), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(end), wide.data(), length);
        pending_.erase(0, end);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            if (!WriteConsoleW(console_, wide.data() + done, static_cast<DWORD>(wide.size() - done), &written,
                               nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }

    HANDLE console_;
    std::string pending_;
};

// Puts std::cerr back on its own buffer at exit, before this one goes.
struct ConsoleMessages {
    explicit ConsoleMessages(HANDLE console) : buffer(console), original(std::cerr.rdbuf(&buffer)) {}
    ~ConsoleMessages()
    {
        std::cerr.flush();
        std::cerr.rdbuf(original);
    }
    ConsoleBuffer buffer;
    std::streambuf* original;
};

}  // namespace

void write_messages_to_console()
{
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !handle || !GetConsoleMode(handle, &mode)) return;
    static ConsoleMessages messages(handle);
}

}  // namespace lumetra::cli
