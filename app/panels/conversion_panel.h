// The conversion panel "Преобразование данных": the listing options of the
// current buffer, remembered per buffer, and the button that writes the
// listing into the buffer's code view.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"

namespace lumetra {


std::vector<LayoutRow> conversion_panel_rows();

// The states the option controls show now.
ListingOptions shown_listing_options();

// The option controls into, or back from, the buffer's options. Restoring
// sets the controls in id order, DT before DB.
void save_listing_options(ListingOptionsSet& options, int buffer);
void restore_listing_options(const ListingOptionsSet& options, int buffer);

// "Преобразовать": the listing of the current buffer with the panel's present
// states, into that buffer's code view at once.
void convert_current_buffer(App& app);

}  // namespace lumetra
