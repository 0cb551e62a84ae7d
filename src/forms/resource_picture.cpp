#include "forms/resource_picture.h"

#include <algorithm>
#include <map>
#include <string>

#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

SharedPicture ResourcePicture(std::string_view name) {
    static std::map<std::string, std::weak_ptr<const os::Surface>, std::less<>> decoded;
    auto it = decoded.find(name);
    if (it != decoded.end())
        if (SharedPicture alive = it->second.lock()) return alive;
    const resources::Blob blob = resources::Find(name);
    SharedPicture picture;
    if (!blob.empty()) picture = os::LoadPictureFromMemory(blob.data, blob.size);
    if (it == decoded.end()) it = decoded.emplace(std::string(name), picture).first;
    else it->second = picture;
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
