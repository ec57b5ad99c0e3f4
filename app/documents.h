// The document commands on the current buffer (New, Open, Save, Save As),
// the change of current buffer, open named file, and the recent-files list
// with its submenu.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/app.h"
#include "core/chr_file.h"

namespace lumetra {

// The path with extension appended when path_extension finds none ("logo."
// has an empty extension too).
std::filesystem::path with_default_extension(std::filesystem::path path, const char* extension);

inline constexpr const char* kErrorTitle = "Ошибка";
inline constexpr const char* kReadErrorText = "Не удалось открыть файл\n";
inline constexpr const char* kWriteErrorText = "Не удалось сохранить файл\n";
// Added after the name when a text file is refused because a character has
// no Windows-1251 form.
inline constexpr const char* kCodePageErrorText =
    "\nТекст содержит символы, которых нет в кодировке Windows-1251 (например, в имени файла рисунка).";

// "Ошибка" with an OK button and the error icon.
void show_error_box(const std::string& text);
// "Не удалось открыть файл\n" or "Не удалось сохранить файл\n" and the path.
std::string file_error_text(const FileResult& result);
// Writes text already encoded for a text file (nothing when a character
// had no Windows-1251 form) and reports either failure in the error box.
// After a failure the old file is as it was; the callers have nothing more to do.
void write_text_file(const std::filesystem::path& path, const std::optional<std::string>& bytes);
// A failed file operation's message in the error box; true when it worked.
bool check_file_result(const FileResult& result);

// Writes buffer b to path; a failure is reported and leaves the flag set.
bool write_buffer(App& app, int buffer, const std::filesystem::path& path);
// The save dialog for a picture file; empty when cancelled, ".chr" added to
// a name without extension.
std::filesystem::path ask_picture_file_name();
// A buffer whose name is an imported BMP, JPG or PNG is never written over
// that picture: it needs a new name like a buffer without one.
bool has_picture_file_name(const ImageStore& store, int buffer);

// Everything a tab choice does to make the buffer current (the tab strip
// itself is left alone): the conversion options of the old buffer kept and
// the new buffer's shown, the picture, the title; with focus, its code view
// takes the keyboard focus. Nothing happens when it is current already.
void make_buffer_current(App& app, int buffer, bool focus);
// Tab strip event: makes the selected tab's buffer current.
void switch_buffer(App& app);

void new_document(App& app, int command);      // 4
void open_document(App& app, int command);     // 1
void save_document(App& app, int command);     // 2
void save_document_as(App& app, int command);  // 3

// Moves path to the top of the recent list, reads it into the current
// buffer (pictures by their extension are imported), repaints and closes
// the cell editor whatever the outcome. True when the file was read.
bool open_named_file(App& app, const std::filesystem::path& path);
// Open named file after a prompt has answered go on: the modified flag is
// cleared, and given back when the file cannot be read, since the unsaved
// picture is still there.
void open_into_current_buffer(App& app, const std::filesystem::path& path);

void add_recent(App& app, const std::filesystem::path& path);
void recent_file_command(App& app, int command);  // 30..39

}  // namespace lumetra
