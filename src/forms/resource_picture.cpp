#include "forms/resource_picture.h"

#include <algorithm>
#include <map>
#include <string>

#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

SharedPicture ResourcePicture(std::string_view name) {
    static std::map<std::string, SharedPicture, std::less<>> decoded;
    if (auto it = decoded.find(name); it != decoded.end()) return it->second;
    const resources::Blob blob = resources::Find(name);
    SharedPicture picture;
    if (!blob.empty()) picture = os::LoadPictureFromMemory(blob.data, blob.size);
    decoded.emplace(std::string(name), picture);
    return picture;
}

SharedPicture CopyPicture(const os::Surface& picture) {
    auto copy = std::make_shared<os::Surface>(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        std::copy(picture.row(y), picture.row(y) + picture.width(), copy->row(y));
    copy->NoteWritten(copy->bounds());
    return copy;
}

}  // namespace forms
