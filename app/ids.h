// Every number of the shell in one place: controls, commands, popup menus and
// stored images, the working modes and the hover states. Layout rows, menus,
// dispatch tables and handlers use these names; a control that nothing refers
// to (a frame, a static label) keeps its number in its layout row.
#pragma once

#include "core/image_store.h"

namespace lumetra {

// ---------------------------------------------------------------- modes

enum class Mode { Editing = 1, Animation = 2, Logic = 3, Optimisation = 4, Bin = 5 };
constexpr int kModeCount = 5;
constexpr int mode_number(Mode mode) { return static_cast<int>(mode); }

// The hover highlight of the screen view, as the hover poll sees it.
enum class HoverPhase {
    Away,     // the pointer is not over the screen view
    Over,     // the pointer is over the view (a cell may carry the highlight)
    Cleared,  // the pointer left and the highlight is already removed
};

// ---------------------------------------------------------------- commands

constexpr int kCmdOpen = 1;
constexpr int kCmdSave = 2;
constexpr int kCmdSaveAs = 3;
constexpr int kCmdNew = 4;
constexpr int kCmdClose = 5;
constexpr int kCmdAbout = 8;
constexpr int kCmdText = 10;  // the text dialog, text at the picture's corner
constexpr int kCmdFirstMode = 16;  // 16..20: Ctrl+1..Ctrl+5, mode = command - 15
constexpr int kCmdLastMode = kCmdFirstMode + kModeCount - 1;
constexpr int kCmdNextMode = 28;  // the toolbar's mode button
constexpr int kCmdFirstRecent = 30;  // 30..39: the recent files
constexpr int kCmdLastRecent = 39;
constexpr int kCmdCellCut = 40;  // popup 1 on a cell
constexpr int kCmdCellCopy = 41;
constexpr int kCmdCellPaste = 42;
constexpr int kCmdCellClear = 43;
constexpr int kCmdCellText = 44;  // the text dialog, text at that cell's corner
constexpr int kCmdCodeSelectAll = 50;  // popup 2 on the code view
constexpr int kCmdCodeCopy = 51;
constexpr int kCmdCodeSave = 52;
constexpr int kCmdSkipSelectAll = 70;  // popup 3 on the skip list
constexpr int kCmdSkipCopy = 71;
constexpr int kCmdSkipExport = 72;
constexpr int kCmdKeyCut = 85;  // Ctrl+X .. Alt+S, routed by the pointer
constexpr int kCmdKeyCopy = 86;
constexpr int kCmdKeyPaste = 87;
constexpr int kCmdKeySelectAll = 88;
constexpr int kCmdKeySave = 89;

constexpr int mode_command(Mode mode) { return kCmdFirstMode + mode_number(mode) - 1; }
constexpr Mode mode_of_command(int command) { return static_cast<Mode>(command - kCmdFirstMode + 1); }
// Editing follows the last mode.
constexpr Mode next_mode(Mode mode) { return static_cast<Mode>(mode_number(mode) % kModeCount + 1); }

// ---------------------------------------------------------------- popup menus

constexpr int kPopupCell = 1;
constexpr int kPopupCodeView = 2;
constexpr int kPopupSkipList = 3;

// ---------------------------------------------------------------- stored images

constexpr int kImageNew = 0;
constexpr int kImageOpen = 1;
constexpr int kImageSave = 2;
constexpr int kImageMode = 3;
constexpr int kImageCopy = 4;
constexpr int kImagePaste = 5;
constexpr int kImageCut = 7;
constexpr int kImageClosePanel = 8;
constexpr int kImageAboutPicture = 9;
constexpr int kImageAboutPictureLit = 10;
constexpr int kImageArrowDown = 370;

// ---------------------------------------------------------------- main window

constexpr int kStatusText = 4;  // on the toolbar
constexpr int kBufferTabs = 7;
constexpr int kScreenFrame = 8;
constexpr int kScreenArea = 9;
constexpr int kCellEditorFrame = 10;
constexpr int kCellEditorArea = 11;
constexpr int kConversionPanel = 16;

// Cell images of the screen view are 20..147; the pixel images of the cell
// editor are 280 + 8 * (byte - 1) + bit.
constexpr int kFirstCellImage = 20;
constexpr int kLastCellImage = kFirstCellImage + kCellCount - 1;
constexpr int kFirstPixelImage = 280;
constexpr int kPixelImageCount = 64;
constexpr int cell_image_of(int cell) { return cell >= 1 && cell <= kCellCount ? kFirstCellImage + cell - 1 : 0; }
constexpr int cell_of_image(int control)
{
    return control >= kFirstCellImage && control <= kLastCellImage ? control - kFirstCellImage + 1 : kNoCell;
}
constexpr int pixel_image_of(int byte, int bit)
{
    return byte >= 1 && byte <= kCellBytes && bit >= 0 && bit <= 7 ? kFirstPixelImage + 8 * (byte - 1) + bit : 0;
}

constexpr int kCellEditorPanel = 410;
constexpr int kReadOutLabels = 551;
constexpr int kReadOutCode = 553;
constexpr int kReadOutNumbers = 554;

// Code view of buffer n is 520 + n.
constexpr int kFirstCodeView = 521;
constexpr int code_view_of(int buffer) { return kFirstCodeView + buffer - 1; }

// Conversion panel.
constexpr int kOptionDt = 421;
constexpr int kOptionDb = 422;
constexpr int kAddFileName = 423;
constexpr int kGroupByCrystal = 424;
constexpr int kConvertButton = 425;
constexpr int kFirstIndent = 429;
constexpr int kSecondIndent = 431;

// ---------------------------------------------------------------- tool panels

// Animation (mode 2).
constexpr int kAnimationPanel = 470;
constexpr int kAnimationCloseImage = 472;
constexpr int kFirstAnimationSlot = 485;  // slot lists 485..494, index = buffer, 0 "Нет"
constexpr int kLastAnimationSlot = 494;
constexpr int kAnimationArrow = 370;
constexpr int kAnimationDelay = 502;
constexpr int kAnimationStart = 505;
constexpr int kAnimationStop = 506;

// Logic operations (mode 3).
constexpr int kLogicPanel = 580;
constexpr int kLogicAnd = 583;  // option buttons 583..585: And, Or, Xor
constexpr int kLogicOr = 584;
constexpr int kLogicXor = 585;
constexpr int kLogicFirst = 589;  // buffer lists, index = buffer - 1
constexpr int kLogicSecond = 590;
constexpr int kLogicResult = 591;
constexpr int kLogicApply = 592;
constexpr int kLogicUndoButton = 593;
constexpr int kLogicCloseButton = 594;
constexpr int kLogicCloseImage = 595;

// Optimisation (mode 4).
constexpr int kOptimisationPanel = 150;
constexpr int kOptimisationCloseImage = 152;
constexpr int kFirstScanBox = 155;  // check box of buffer b is 154 + b, b = 1..9
constexpr int kLastScanBox = 163;
constexpr int scan_box_of(int buffer) { return kFirstScanBox + buffer - 1; }
constexpr int kSkipMapLabel = 165;  // "Буфер 10", where the map goes
constexpr int kScanButton = 167;
constexpr int kSkipList = 168;
constexpr int kSkipListButton = 169;
constexpr int kSkipListLabel = 170;
constexpr int kSkipListProgress = 171;
constexpr int kCountByteSpin = 173;
constexpr int kAutoScan = 174;

// BIN conversion (mode 5).
constexpr int kBinPanel = 190;
constexpr int kBinCloseImage = 192;
constexpr int kFirstBinSlot = 194;  // slot lists 194..203, index = buffer, 0 "Нет"
constexpr int kLastBinSlot = 203;
constexpr int kBinGroupByCrystal = 204;
constexpr int kBinTarget = 208;   // "новом файле", "существующем"
constexpr int kBinWhere = 209;    // "в конец файла", "произвольно"
constexpr int kBinAddress = 218;  // start address, digits only
constexpr int kBinHow = 219;      // "Вставить", "Заменить"
constexpr int kBinConvert = 220;

// ---------------------------------------------------------------- other windows

constexpr int kStartupText = 215;
constexpr int kStartupTitle = 216;

constexpr int kAboutTitleText = 350;
constexpr int kAboutMailLink = 353;
constexpr int kAboutOkButton = 355;
constexpr int kAboutPicture = 356;
constexpr int kAboutPageText = 357;
constexpr int kAboutPageLink = 358;

// The text dialog.
constexpr int kTextInput = 621;
constexpr int kTextFont = 622;   // "family style" of the listed fonts
constexpr int kTextSize = 623;
constexpr int kTextX = 624;
constexpr int kTextY = 625;
constexpr int kTextErase = 626;  // "Стереть": the text clears pixels
constexpr int kTextNote = 627;   // why nothing is drawn, or the characters the font lacks
constexpr int kTextOk = 628;
constexpr int kTextCancel = 629;

}  // namespace lumetra
