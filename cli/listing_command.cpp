// lumetra-cli listing: the text "Сохранить в файле" writes after
// "Преобразовать" with the same options, or the same bytes as a C array.

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "display/display_tables.h"
#include "listing/listing.h"

namespace lumetra::cli {

namespace {

enum class ListingForm { Assembler, C, Xbm };

struct FormName {
    const char* name;
    ListingForm form;
    const char* extension;
};
constexpr FormName kForms[] = {
    {"asm", ListingForm::Assembler, ".asm"},
    {"c", ListingForm::C, ".c"},
    {"xbm", ListingForm::Xbm, ".xbm"},
};

struct ListingRequest {
    ListingOptions options;
    bool file_name_given = false;
    std::optional<std::string> file_name;  // NAME of --file-name=NAME
    const FormName* form = &kForms[0];     // --format
    DisplayChoice display;
    bool layout_given = false;
    std::optional<std::string> array_name;  // --name NAME
    bool crlf = false;
    std::vector<std::string> assembler_only;  // options given that only the listing takes
    Pictures pictures;
    Outputs outputs;
    PictureOptions picture_options;
};

std::optional<int> indent_value(const std::string& text)
{
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    int value = std::stoi(text);
    if (value < 2 || value > 20) return std::nullopt;
    return value;
}

std::optional<CliError> parse(const Args& args, ListingRequest& request)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--db") {
            request.options.directive = Directive::Db;
            request.assembler_only.push_back(arg);
        } else if (arg == "--no-group") {
            request.options.group_by_crystal = false;
        } else if (arg == "--file-name" || arg.starts_with("--file-name=")) {
            request.file_name_given = true;
            if (arg.size() > 11) request.file_name = arg.substr(12);
            request.assembler_only.push_back("--file-name");
        } else if (arg == "--indent1" || arg == "--indent2") {
            auto text = option_value(args, i);
            auto value = text ? indent_value(*text) : std::nullopt;
            if (!value) return CliError{arg + " needs a number from 2 to 20"};
            (arg == "--indent1" ? request.options.first_indent : request.options.second_indent) = *value;
            request.assembler_only.push_back(arg);
        } else if (arg == "--format") {
            auto text = option_value(args, i);
            const FormName* found = nullptr;
            for (const FormName& form : kForms)
                if (text && *text == form.name) found = &form;
            if (!found) return CliError{"--format needs asm, c or xbm"};
            request.form = found;
        } else if (is_display_option(arg)) {
            request.layout_given = request.layout_given || arg == "--layout";
            if (auto error = take_display_option(args, i, request.display)) return error;
        } else if (arg == "--name") {
            if (auto error = take_table_name(args, i, request.array_name)) return error;
        } else if (arg == "--crlf") {
            request.crlf = true;
        } else if (arg == "--out-dir") {
            if (auto error = take_out_dir(args, i, request.outputs.out_dir)) return error;
        } else if (auto error = take_picture_argument(args, i, request.outputs.out, request.pictures,
                                                      request.picture_options)) {
            return error;
        }
    }
    const bool assembler = request.form->form == ListingForm::Assembler;
    if (!assembler && !request.assembler_only.empty())
        return CliError{request.assembler_only.front() + " does not go with --format " + request.form->name};
    if (assembler && (request.array_name || request.crlf))
        return CliError{std::string(request.crlf ? "--crlf" : "--name") + " needs --format c or xbm"};
    // An XBM file has its own order: rows, bit 0 the leftmost pixel.
    if (request.form->form == ListingForm::Xbm && request.layout_given && request.display.layout != Layout::RowsLsb)
        return CliError{"--format xbm is always --layout rows-lsb"};
    if (request.form->form == ListingForm::Xbm) request.display.layout = Layout::RowsLsb;
    if (request.array_name && request.pictures.size() > 1) return CliError{"--name takes one PICTURE"};
    request.outputs.extension = request.form->extension;
    return check_outputs(request.pictures, request.outputs);
}

bool standard_input(const std::filesystem::path& picture) { return picture == kStandardStream; }

std::string array_name(const ListingRequest& request, const Picture& picture)
{
    return request.array_name.value_or(c_identifier(standard_input(picture.path) ? std::string() : path_to_utf8(picture_stem(picture))));
}

// The lines of any display and layout but the editor's own.
std::vector<std::string> display_lines(const ListingRequest& request, const Raster& picture, const ListingOptions& options,
                                       const std::string& name)
{
    const DisplayProfile& display = *request.display.display;
    const Layout layout = request.display.layout;
    const PageOrder order = request.options.group_by_crystal ? PageOrder::ByController : PageOrder::Across;
    const std::vector<std::uint8_t> table = layout_bytes(display, layout, order, picture);
    switch (request.form->form) {
    case ListingForm::Xbm: return generate_xbm(table, display.width, display.height, name);
    case ListingForm::C: return generate_table_c_array(table, layout_runs(display, layout, order), display.note, name);
    case ListingForm::Assembler: break;
    }
    return generate_table_listing(table, layout_runs(display, layout, order), display.note, name, options);
}

std::optional<CliError> make_listing(const ListingRequest& request, const Picture& source, std::string& bytes)
{
    const std::filesystem::path& path = source.path;
    const bool editor = request.display.editor_default();
    Raster raster;
    ScreenBuffer picture;
    if (auto error = editor ? load_picture(source, picture, request.picture_options.import)
                            : load_raster(source, *request.display.display, raster, request.picture_options.import))
        return error;
    if (request.form->form != ListingForm::Assembler) {
        std::string name = array_name(request, source);
        auto order = request.options.group_by_crystal ? CellOrder::GroupedByCrystal : CellOrder::Interleaved;
        bytes = join_lines(editor ? generate_c_array(picture, name, order) : display_lines(request, raster, {}, name),
                           request.crlf ? "\r\n" : "\n");
        return std::nullopt;
    }
    ListingOptions options = request.options;
    options.add_file_name = request.file_name_given;
    std::string name;
    if (request.file_name) name = *request.file_name;
    else if (request.file_name_given && !standard_input(path)) name = path_to_utf8(std::filesystem::absolute(path));
    auto text = encode_cp1251(join_view_lines(editor ? generate_listing(picture, name, options)
                                                     : display_lines(request, raster, options, name)));
    if (!text) return CliError{"the file name cannot be written in Windows-1251: " + name, kExitFailed};
    bytes = std::move(*text);
    return std::nullopt;
}

}  // namespace

int run_listing(const Args& args)
{
    ListingRequest request;
    if (auto error = parse(args, request)) return refuse("listing", kListingUsage, *error);
    return make_each("listing", kListingUsage, request.pictures, request.outputs,
                     [&request](const Picture& picture, std::string& bytes) {
                         return make_listing(request, picture, bytes);
                     });
}

}  // namespace lumetra::cli
