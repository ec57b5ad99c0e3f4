// The browser backend's own declarations, shared by its files. Nothing
// outside platform/web/ includes this header.
//
// The program's thread is the page's: the shell's blocking calls
// (wait_event, message_box, the file dialogs) suspend it with Asyncify until
// the page answers, so the shell runs unchanged.
//
// The page side lives in JavaScript libraries linked into the one script
// (web_ui.js: windows, controls, canvases, menus, the event queue;
// web_system.js: dialogs, files, downloads, storage). They meet in one
// object, globalThis.lumetra, which holds the event queue:
//   lumetra.push_event({kind, number, type, window, files})
// with kind and type the numbers of platform::EventKind and EventType,
// window the number of WindowId, files an array of paths in the program's
// file system (FilesDropped).
#pragma once

#include <filesystem>
#include <string>

#include "platform/platform.h"

namespace lumetra::platform::web {

// Where opened and dropped files are put, and where the settings file and the
// copies that recent files reopen from persist between visits.
inline constexpr const char* kUploadFolder = "/uploads";
inline constexpr const char* kPersistFolder = "/persist";
// The fonts the text dialog offers, carried inside the module.
inline constexpr const char* kFontFolder = "/fonts";

// Called by wait_event before it waits, that is after each event the shell
// has handled: saves what changed under kPersistFolder and kUploadFolder to
// the browser's storage, and offers as downloads the files the shell saved
// through save_file_dialog's answers (cheap when nothing changed).
void after_event_handled();

// Offers a file of the program's file system as a download under its name.
void offer_download(const std::filesystem::path& path);

}  // namespace lumetra::platform::web
