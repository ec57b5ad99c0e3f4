// lumetra.exe: the Unicode entry point hands the arguments after the program
// name to the program.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <vector>

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::filesystem::path> arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(words[i]);
    if (words) LocalFree(words);
    return lumetra::run_program(arguments);
}
