// The settings file: window position, animation delay, the two options of
// the repeated-byte search, the ten recent files and the text dialog's last
// font, size and mode. Read once at start-up, written once at exit.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace lumetra {

inline constexpr const char* kSettingsFileName = "VovirerAriruveva.inf";
constexpr int kRecentCount = 10;

using RecentFiles = std::array<std::string, kRecentCount>;  // UTF-8; entry 0 the most recent, "" free

struct Settings {
    int x = 20;
    int y = 20;
    int delay_index = 4;  // the animation delay as its place in the delay list
    int count_byte = 1;
    int auto_scan = 1;
    RecentFiles recent{};
    // The text dialog's last choice; its group is written only once a text
    // was put into a picture (font not empty) or when the file has it.
    std::string text_font;  // UTF-8 path
    int text_size = 16;
    int text_erase = 0;     // the "Стереть" box: 1 clears the text's pixels
};

// The settings file lives in the user's temporary directory.
std::filesystem::path settings_path(const std::filesystem::path& temp_dir);

enum class SettingsSource { Read, Created, Unreadable };

struct LoadedSettings {
    Settings settings;
    SettingsSource source = SettingsSource::Read;
};

// Reads the whole file; a missing file is created with the defaults. An
// existing file that cannot be read, or is larger than 64 MiB, gives the
// defaults and is left alone.
LoadedSettings load_settings(const std::filesystem::path& path);

// Parses the text of a settings file (reading rules: groups and keys ignore
// case, blanks and tabs around keys and values are trimmed, ";" starts a
// comment line, a UTF-8 byte-order mark switches from Windows-1251 to UTF-8).
Settings parse_settings(std::string_view file_bytes);

// The text of a settings file: the lines of old_bytes with every known key
// given its new value in place (the last copy of a key given twice, as the
// reader takes that one), missing keys added at the end of their group
// and missing groups at the end. Windows-1251 without byte-order mark, CR LF;
// UTF-8 with a byte-order mark when a recent path has no Windows-1251 form.
std::string settings_file_text(std::string_view old_bytes, const Settings& settings);

// Rewrites an existing settings file safely; false (nothing saved) when it
// cannot be read whole, is larger than 64 MiB, or cannot be written.
bool save_settings(const std::filesystem::path& path, const Settings& settings);

// Moves path to the top of the list (one copy kept, old entry 10 dropped).
void add_recent_file(RecentFiles& recent, const std::string& path);

// Texts of menu commands 30..39: "1)" + blanks + path. The menu is built with
// two blanks at start-up and rebuilt with four after every change.
inline constexpr int kRecentBlanksAtStart = 2;
inline constexpr int kRecentBlanksAfterUpdate = 4;
std::array<std::string, kRecentCount> recent_menu_texts(const RecentFiles& recent, int blanks);

// Leading-digit number as the settings file reads it ("12abc" 12, "x" 0).
int settings_number(std::string_view text);

}  // namespace lumetra
