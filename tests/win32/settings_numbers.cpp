// lumetra_settings_numbers.exe: the settings reader as lumetra.exe links it,
// where long is 32 bits. Numbers of ten and more digits saturate instead of
// overflowing; the exit code is the number of failed checks.
#include <cstdio>
#include <string>

#include "core/settings.h"

namespace {

int failures = 0;

void expect(int got, int wanted, const char* what)
{
    if (got == wanted) return;
    std::printf("FAIL: %s: %d, wanted %d\n", what, got, wanted);
    ++failures;
}

}  // namespace

int main()
{
    using lumetra::settings_number;
    expect(settings_number("2147483647"), 2147483647, "largest int");
    expect(settings_number("9999999999"), 2147483647, "ten digits");
    expect(settings_number("4294967306"), 2147483647, "ten digits, 2^32 + 10");
    expect(settings_number("-98765432109876543210"), -2147483647, "twenty digits, negative");
    expect(lumetra::parse_settings("[Anime]\r\nDelay = " + std::string(400, '9') + "\r\n").delay_index, 2147483647,
           "400 digits in a file");
    expect(settings_number("1234"), 1234, "four digits");
    std::printf("%d failed\n", failures);
    return failures;
}
