// lumetra.exe: the Unicode entry point hands the arguments after the program
// name to the program.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <vector>

#include "app/program.h"

namespace {

// The words after the program's name. A plain start has none, and then the
// DLL that splits command lines is not loaded at all: under Wine each DLL
// loaded at start costs the start some milliseconds.
std::vector<std::filesystem::path> command_line_arguments()
{
    const wchar_t* line = GetCommandLineW();
    // The program's name: up to the closing quote, or to the first blank.
    const wchar_t* rest = line;
    if (*rest == L'"') {
        for (++rest; *rest && *rest != L'"'; ++rest) {
        }
        if (*rest) ++rest;
    } else {
        while (*rest && *rest != L' ' && *rest != L'\t') ++rest;
    }
    while (*rest == L' ' || *rest == L'\t') ++rest;
    std::vector<std::filesystem::path> arguments;
    if (!*rest) return arguments;
    using Split = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    const auto split =
        shell ? reinterpret_cast<Split>(reinterpret_cast<void*>(GetProcAddress(shell, "CommandLineToArgvW"))) : nullptr;
    int count = 0;
    wchar_t** words = split ? split(line, &count) : nullptr;
    for (int i = 1; i < count; ++i) arguments.emplace_back(words[i]);
    if (words) LocalFree(words);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return lumetra::run_program(command_line_arguments()); }
