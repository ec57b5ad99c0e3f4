#include "core/settings.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

#include "core/file_io.h"
#include "core/text_encoding.h"

namespace lumetra {

namespace {

// Far beyond any settings file the program writes; a larger file is not
// read, and so never written back cut short.
constexpr std::size_t kMaxSettingsBytes = std::size_t{64} << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The groups and keys as the program writes them, in file order; the recent
// files follow the first five.
struct KeySpec {
    const char* group;
    const char* key;
};

constexpr KeySpec kKeys[] = {
    {"Window", "X"},           {"Window", "Y"},           {"Anime", "Delay"},        {"Optimizacia", "CountByte"},
    {"Optimizacia", "Auto"},   {"RecentFiles", "File1"},  {"RecentFiles", "File2"},  {"RecentFiles", "File3"},
    {"RecentFiles", "File4"},  {"RecentFiles", "File5"},  {"RecentFiles", "File6"},  {"RecentFiles", "File7"},
    {"RecentFiles", "File8"},  {"RecentFiles", "File9"},  {"RecentFiles", "File10"},
    {"Text", "Font"},          {"Text", "Size"},          {"Text", "Erase"},
};
constexpr std::size_t kFirstRecentKey = 5;
constexpr std::size_t kFirstTextKey = kFirstRecentKey + kRecentCount;
static_assert(std::size(kKeys) == kFirstTextKey + 3);
constexpr std::size_t kKeyCount = std::size(kKeys);

std::string value_of(const Settings& s, std::size_t key_index)
{
    switch (key_index) {
    case 0: return std::to_string(s.x);
    case 1: return std::to_string(s.y);
    case 2: return std::to_string(s.delay_index);
    case 3: return std::to_string(s.count_byte);
    case 4: return std::to_string(s.auto_scan);
    case kFirstTextKey: return s.text_font;
    case kFirstTextKey + 1: return std::to_string(s.text_size);
    case kFirstTextKey + 2: return std::to_string(s.text_erase);
    default: return s.recent[key_index - kFirstRecentKey];
    }
}

void assign(Settings& s, std::size_t key_index, std::string_view value)
{
    switch (key_index) {
    case 0: s.x = settings_number(value); break;
    case 1: s.y = settings_number(value); break;
    case 2: s.delay_index = settings_number(value); break;
    case 3: s.count_byte = settings_number(value); break;
    case 4: s.auto_scan = settings_number(value); break;
    case kFirstTextKey: s.text_font = std::string(value); break;
    case kFirstTextKey + 1: s.text_size = settings_number(value); break;
    case kFirstTextKey + 2: s.text_erase = settings_number(value); break;
    default: s.recent[key_index - kFirstRecentKey] = std::string(value); break;
    }
}

bool same_text_ignoring_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char p, char q) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(p) == lower(q);
           });
}

std::string_view trim(std::string_view s)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The file as UTF-8 lines, whatever its encoding.
std::vector<std::string> lines_of(std::string_view bytes)
{
    std::string text = bytes.starts_with(kUtf8Bom) ? std::string(bytes.substr(kUtf8Bom.size())) : decode_cp1251(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// A parsed line: a group header, a key line or anything else.
struct Line {
    std::optional<std::string> group;
    std::optional<std::pair<std::string, std::string>> key_value;
};

Line classify(std::string_view raw)
{
    std::string_view line = trim(raw);
    Line result;
    if (line.empty() || line.front() == ';') return result;
    if (line.front() == '[') {
        std::size_t close = line.find(']');
        if (close != std::string_view::npos) result.group = std::string(trim(line.substr(1, close - 1)));
        return result;
    }
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos)
        result.key_value = {std::string(trim(line.substr(0, eq))), std::string(trim(line.substr(eq + 1)))};
    return result;
}

std::optional<std::size_t> key_index(std::string_view group, std::string_view key)
{
    for (std::size_t i = 0; i < kKeyCount; ++i)
        if (same_text_ignoring_case(kKeys[i].group, group) && same_text_ignoring_case(kKeys[i].key, key)) return i;
    return std::nullopt;
}

}  // namespace

std::filesystem::path settings_path(const std::filesystem::path& temp_dir) { return temp_dir / kSettingsFileName; }

int settings_number(std::string_view text)
{
    text = trim(text);
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    // Saturates at the largest int, checked before each step: long is only
    // 32 bits on Windows.
    constexpr int kLargest = std::numeric_limits<int>::max();
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        int digit = c - '0';
        value = value > (kLargest - digit) / 10 ? kLargest : value * 10 + digit;
    }
    return negative ? -value : value;
}

Settings parse_settings(std::string_view file_bytes)
{
    Settings settings;
    std::string group;
    for (const std::string& raw : lines_of(file_bytes)) {
        Line line = classify(raw);
        if (line.group) group = *line.group;
        if (!line.key_value) continue;
        if (auto i = key_index(group, line.key_value->first)) assign(settings, *i, line.key_value->second);
    }
    return settings;
}

std::string settings_file_text(std::string_view old_bytes, const Settings& settings)
{
    std::vector<std::string> lines = lines_of(old_bytes);
    std::array<bool, kKeyCount> written{};

    // Known keys take their new value where they stand. Of several copies of
    // a key the reader takes the last, so that one is written; the others
    // stay as they were.
    std::array<std::optional<std::size_t>, kKeyCount> last_copy{};
    std::string group;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        Line line = classify(lines[n]);
        if (line.group) group = *line.group;
        if (!line.key_value) continue;
        if (auto i = key_index(group, line.key_value->first)) last_copy[*i] = n;
    }
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (!last_copy[i]) continue;
        std::string& raw = lines[*last_copy[i]];
        raw = classify(raw).key_value->first + " = " + value_of(settings, i);
        written[i] = true;
    }

    // Missing keys go after the last line of their group; missing groups at
    // the end. The text group waits until a text was first put in.
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (written[i]) continue;
        if (i >= kFirstTextKey && settings.text_font.empty()) continue;
        std::optional<std::size_t> group_end;
        std::string current;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            Line line = classify(lines[n]);
            if (line.group) current = *line.group;
            if (same_text_ignoring_case(current, kKeys[i].group) && !trim(lines[n]).empty()) group_end = n + 1;
        }
        std::string key_line = std::string(kKeys[i].key) + " = " + value_of(settings, i);
        if (group_end) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*group_end), key_line);
        } else {
            lines.push_back(std::string("[") + kKeys[i].group + "]");
            lines.push_back(key_line);
        }
        written[i] = true;
    }

    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (auto cp1251 = encode_cp1251(text)) return *cp1251;
    return std::string(kUtf8Bom) + text;
}

LoadedSettings load_settings(const std::filesystem::path& path)
{
    std::error_code ec;
    bool exists = std::filesystem::exists(path, ec);
    if (auto bytes = read_whole_file(path, kMaxSettingsBytes)) return {parse_settings(*bytes), SettingsSource::Read};
    if (exists || ec) return {Settings{}, SettingsSource::Unreadable};
    Settings defaults;
    write_file_atomically(path, settings_file_text("", defaults));
    return {defaults, SettingsSource::Created};
}

bool save_settings(const std::filesystem::path& path, const Settings& settings)
{
    // A file that cannot be read whole (or is above the limit) is left as it is.
    auto old_bytes = read_whole_file(path, kMaxSettingsBytes);
    if (!old_bytes) return false;
    return write_file_atomically(path, settings_file_text(*old_bytes, settings));
}

void add_recent_file(RecentFiles& recent, const std::string& path)
{
    auto found = std::find(recent.begin(), recent.end(), path);
    auto last = found == recent.end() ? recent.end() - 1 : found;
    std::move_backward(recent.begin(), last, last + 1);
    recent.front() = path;
}

std::array<std::string, kRecentCount> recent_menu_texts(const RecentFiles& recent, int blanks)
{
    std::array<std::string, kRecentCount> texts;
    for (int i = 0; i < kRecentCount; ++i)
        texts[i] = std::to_string(i + 1) + ")" + std::string(static_cast<std::size_t>(std::max(blanks, 0)), ' ') + recent[i];
    return texts;
}

}  // namespace lumetra
