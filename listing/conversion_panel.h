// The conversion panel "Преобразование данных": the listing options of the
// current buffer, remembered per buffer, and the button that writes the
// listing into the buffer's code view.
#pragma once

#include <vector>

#include "app/app.h"
#include "app/layout.h"

namespace lumetra {

constexpr int kConversionPanel = 16;
constexpr int kOptionDt = 421;
constexpr int kOptionDb = 422;
constexpr int kAddFileName = 423;
constexpr int kGroupByCrystal = 424;
constexpr int kConvertButton = 425;
constexpr int kFirstIndent = 429;
constexpr int kSecondIndent = 431;

std::vector<LayoutRow> conversion_panel_rows();

// The option controls into, or back from, the buffer's options. Restoring
// sets the controls in id order, DT before DB.
void SaveListingOptions(ListingOptionsSet& options, int buffer);
void RestoreListingOptions(const ListingOptionsSet& options, int buffer);

// "Преобразовать": the listing of the current buffer with the panel's present
// states, into that buffer's code view at once.
void ConvertCurrentBuffer(App& app);

}  // namespace lumetra
