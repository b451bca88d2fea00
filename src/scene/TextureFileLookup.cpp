#include "scene/TextureFileLookup.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace velmorra {

namespace {

bool sameIgnoringCase(const std::string& left, const std::string& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// The name's components between separators ('/' or '\'); an empty one where two separators
// meet or the name ends with one.
std::vector<std::string> components(const std::string& name) {
    std::vector<std::string> parts(1);
    for (const char c : name) {
        if (c == '/' || c == '\\') {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

} // namespace

std::string TextureFileLookup::find(const std::string& name) {
    if (isFile(name)) {
        return name;
    }
    const std::string last = lastComponent(name);
    if (last != name && isFile(last)) {
        return last;
    }
    if (const std::optional<std::string> found = ignoringCase(name)) {
        return *found;
    }
    if (last == name) {
        return name;
    }
    if (const std::optional<std::string> found = ignoringCase(last)) {
        return *found;
    }
    return name;
}

std::string TextureFileLookup::lastComponent(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool TextureFileLookup::isFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Folder by folder from the current directory (or the root, for a name that starts with a
// separator): each component is the entry of that name, the exact one first.
std::optional<std::string> TextureFileLookup::ignoringCase(const std::string& name) {
    const std::vector<std::string> parts = components(name);
    std::filesystem::path path = parts.front().empty() && parts.size() > 1 ? "/" : "";
    for (const std::string& part : parts) {
        if (part.empty() && path == "/") {
            continue;
        }
        const std::optional<std::string> entry =
            entryIgnoringCase(path.empty() ? std::filesystem::path(".") : path, part);
        if (!entry) {
            return std::nullopt;
        }
        path /= *entry;
    }
    const std::string found = path.generic_string();
    return isFile(found) ? std::optional<std::string>(found) : std::nullopt;
}

std::optional<std::string> TextureFileLookup::entryIgnoringCase(const std::filesystem::path& folder,
                                                                const std::string& entry) {
    if (entry.empty()) {
        return std::nullopt;
    }
    std::error_code error;
    if (entry == "." || entry == ".." || std::filesystem::exists(folder / entry, error)) {
        return entry;
    }
    std::optional<std::string> found;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (sameIgnoringCase(candidate, entry) && (!found || candidate < *found)) {
            found = candidate;
        }
    }
    return found;
}

} // namespace velmorra
