#include "app/views/code_view_commands.h"

#include "app/documents.h"
#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "app/views/code_view.h"

namespace lumetra {

namespace {
constexpr const char* kListingTitle = "Сохранить файл...";
constexpr const char* kListingFilter = "*.asm, *.inc, *.txt|*.asm; *.inc; *.txt|Все файлы|*.*";
}  // namespace

void select_all_text(int view) { platform::select_all(view); }
void copy_selected_text(int view) { platform::copy_selection(view); }

void save_listing_file(App& app)
{
    platform::FileChoice choice = platform::save_file_dialog({kListingTitle, kListingFilter, 1, {}});
    if (choice.path.empty()) return;
    // Whichever filter was chosen, a bare name becomes an assembler source.
    std::filesystem::path path = with_default_extension(choice.path, ".asm");
    // The view's lines come joined by CR LF. A character the code page cannot
    // hold (in a picture's name, or typed by the user) fails the save rather
    // than being mangled.
    write_text_file(path, encode_cp1251(platform::text(code_view_of(current_buffer(app.store)))));
}

void save_listing_command(App& app, int) { save_listing_file(app); }

}  // namespace lumetra
