// The stored images (icons and the About pictures) as RGBA pixels, made at
// build time from resources/art/ by make_web_images.py.
#pragma once

namespace lumetra::platform::web {

// The program icon, shown in the windows' captions; no image of app/ids.h.
constexpr int kProgramIcon = -2;

struct StoredImage {
    int number;  // the image number of app/ids.h
    int width, height;
    const unsigned char* rgba;  // rows from the top; alpha 0 is transparent
};

extern const StoredImage kStoredImages[];
extern const int kStoredImageCount;

}  // namespace lumetra::platform::web
