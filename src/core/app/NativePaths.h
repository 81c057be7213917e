#pragma once
// Paths are bytes on Linux. Most names are UTF-8, but a folder copied from Windows (an archive
// unpacked without conversion) has names in GBK bytes. The stored form of a path (the code page
// of schedules and lists) takes each UTF-8 component converted to GBK and any other component
// as its own bytes, so nothing is lost and such a name shows as the GBK text it is. The
// resolver (StoredPathResolver) finds both kinds again. Any thread.
#include <string>
#include <string_view>
#include <vector>

namespace pelvano::core {

bool IsValidUtf8(std::string_view bytes);
// The stored (GBK) form of a native path, component by component.
std::string StoredFormOfNativePath(std::string_view native);
// The native path as the operator reads it (UTF-8): GBK-named components decoded as GBK.
std::string DisplayFormOfNativePath(std::string_view native);
// The components of a stored path, split at '\' and '/' where they are characters of their own
// (a GBK character's second byte may be 0x5C); empty components are left out.
std::vector<std::string> SplitStoredPath(std::string_view gbk);

}  // namespace pelvano::core
