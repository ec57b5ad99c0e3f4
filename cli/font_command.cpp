// lumetra-cli font: the font table a PIC program prints from, as gpasm data
// lines or a C header's arrays.

#include <iostream>

#include "cli/cli.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "font/font_table.h"

namespace lumetra::cli {

namespace {


struct FontCommand {
    std::filesystem::path font_path;
    int size = 0;
    std::vector<char32_t> codes;
    bool charset = false;  // the codes are a charset's: its unassigned byte is not warned about
    TableWidth width;
    DisplayChoice display;
    TableForm form = TableForm::Assembler;
    Directive directive = Directive::Dt;
    std::optional<std::string> name;
    std::filesystem::path out;
};

bool digits_only(const std::string& text)
{
    return !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == std::string::npos;
}

std::optional<CliError> take_codes(const Args& args, std::size_t& i, FontCommand& command)
{
    if (!command.codes.empty()) return CliError{"give one of --chars and --charset, once"};
    const std::string arg = args[i];
    auto text = option_value(args, i);
    if (arg == "--chars") {
        CharsResult chars = parse_char_ranges(text.value_or(""));
        if (!chars.error.empty()) return CliError{"--chars: " + chars.error};
        command.codes = std::move(chars.codes);
        return std::nullopt;
    }
    auto codes = text ? charset_codes(*text) : std::nullopt;
    if (!codes) return CliError{"--charset needs ascii or cp1251"};
    command.codes = std::move(*codes);
    command.charset = true;
    return std::nullopt;
}

std::optional<CliError> parse(const Args& args, FontCommand& command)
{
    bool db = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<CliError> error;
        if (arg == "--size") {
            error = take_font_size(args, i, command.size);
        } else if (arg == "--chars" || arg == "--charset") {
            error = take_codes(args, i, command);
        } else if (arg == "--fixed") {
            command.width.kind = BlockWidth::Widest;
            // An optional W: the next argument when it is a number.
            if (i + 1 < args.size() && digits_only(args[i + 1])) {
                command.width = {BlockWidth::Given, std::stoi(args[++i])};
                if (command.width.width < 1 || command.width.width > kMaxTableWidth)
                    error = CliError{"--fixed W needs a width from 1 to " + std::to_string(kMaxTableWidth)};
            }
        } else if (arg == "--display") {
            error = take_display_option(args, i, command.display);
        } else if (arg == "--format") {
            error = take_table_form(args, i, command.form);
        } else if (arg == "--db") {
            db = true;
        } else if (arg == "--name") {
            error = take_table_name(args, i, command.name);
        } else if (arg == "-o") {
            error = take_output_name(args, i, command.out);
        } else if (arg.starts_with("-")) {
            error = CliError{"unknown option " + arg};
        } else if (command.font_path.empty()) {
            command.font_path = utf8_to_path(arg);
        } else {
            error = CliError{"only one FONT may be given"};
        }
        if (error) return error;
    }
    if (command.font_path.empty()) return CliError{"FONT missing"};
    if (command.size == 0) return CliError{"--size PX missing"};
    if (command.codes.empty()) return CliError{"give the characters: --chars RANGES or --charset ascii|cp1251"};
    if (command.out.empty()) return CliError{"-o OUT missing"};
    if (db && command.form == TableForm::C) return CliError{"--db does not go with --format c"};
    command.directive = db ? Directive::Db : Directive::Dt;
    return std::nullopt;
}

// "ter-u16n" for ter-u16n.pcf.gz: the name without its extensions.
std::string font_stem(const std::filesystem::path& path)
{
    std::filesystem::path name = path.filename();
    if (path_extension(name) == "gz") name = name.stem();
    return path_to_utf8(name.stem());
}

std::optional<CliError> make_table(const FontCommand& command, std::string& bytes)
{
    FontHandle font;
    if (auto error = open_display_font(command.font_path, command.size, *command.display.display, font)) return error;
    // A charset's table is looked up by byte.
    FontTableResult built = build_font_table(*font, command.codes, command.width,
                                             command.charset ? std::optional<int>(kCharsetFirstByte) : std::nullopt);
    if (!built.error.empty()) return CliError{built.error, kExitFailed};
    std::vector<char32_t> missing;
    // A charset's control codes (DEL, and U+0098 for the byte cp1251 leaves
    // unassigned) are no characters: their box is expected.
    const auto control = [](char32_t code) { return code == 0x7F || (code >= 0x80 && code <= 0x9F); };
    for (char32_t code : built.table.missing)
        if (!command.charset || !control(code)) missing.push_back(code);
    warn_missing("font", missing);
    const std::string name = command.name.value_or(c_identifier(font_stem(command.font_path), "font"));
    const FontTableSource source{path_to_utf8(command.font_path.filename()), command.size};
    bytes = command.form == TableForm::C ? font_table_c(built.table, name, source)
                                        : font_table_asm(built.table, name, source, command.directive);
    return std::nullopt;
}

}  // namespace

std::optional<CliError> take_font_size(const Args& args, std::size_t& i, int& size)
{
    auto text = option_value(args, i);
    if (!text || !digits_only(*text) || std::stoi(*text) < 1) return CliError{"--size needs a number of pixels"};
    size = std::stoi(*text);
    return std::nullopt;
}

std::optional<CliError> open_display_font(const std::filesystem::path& path, int size, const DisplayProfile& display,
                                          FontHandle& font)
{
    FontResult opened = open_font(path, size);
    if (!opened.font) return CliError{path_to_utf8(path) + ": " + opened.error};
    const FontMetrics metrics = font_metrics(*opened.font);
    if (metrics.line_height > display.height)
        return CliError{path_to_utf8(path) + " at " + std::to_string(size) + " px has lines " +
                            std::to_string(metrics.line_height) + " pixels high; the display " + display.name + " is " +
                            std::to_string(display.height) + " high",
                        kExitFailed};
    font = std::move(opened.font);
    return std::nullopt;
}

void warn_missing(const char* command, const std::vector<char32_t>& missing)
{
    if (missing.empty()) return;
    std::string codes;
    for (char32_t code : missing) codes += (codes.empty() ? "" : ", ") + code_name(code);
    std::cerr << "lumetra-cli " << command << ": warning: the font lacks " << codes
              << "; drawn as its missing-glyph box\n";
}

int run_font(const Args& args)
{
    FontCommand command;
    std::string bytes;
    auto error = parse(args, command);
    if (!error) error = make_table(command, bytes);
    if (!error) error = write_output(command.out, bytes);
    return error ? refuse("font", kFontUsage, *error) : kExitDone;
}

}  // namespace lumetra::cli
