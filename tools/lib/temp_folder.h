#pragma once

#include <string>

namespace bangla {

// A fresh, empty folder under the system's temporary folder, deleted with
// everything in it when the object goes away. Tests, benchmarks and the
// engine tools give the engine such a folder so that they never touch real
// user data.
class TempFolder {
public:
    // `label` becomes part of the folder name, to tell runs apart.
    explicit TempFolder(const std::string& label);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in a separator; empty when it could not be made.
    const std::string& Path() const { return path; }
    // Path() followed by name.
    std::string File(const std::string& name) const { return path + name; }

private:
    std::string path;
};

}  // namespace bangla
