#include "forms/icon.h"

#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

std::vector<os::IconImage> LoadIconImages(std::initializer_list<std::string_view> names) {
    std::vector<os::IconImage> images;
    for (std::string_view name : names) {
        const resources::Blob blob = resources::Find(name);
        if (blob.empty()) continue;
        const std::unique_ptr<os::Surface> picture = os::LoadPictureFromMemory(blob.data, blob.size);
        if (!picture) continue;
        os::IconImage image;
        image.width = picture->width();
        image.height = picture->height();
        image.argb.reserve(static_cast<std::size_t>(image.width) * image.height);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) image.argb.push_back(0xFF000000u | picture->pixel(x, y));
        images.push_back(std::move(image));
    }
    return images;
}

}  // namespace forms
