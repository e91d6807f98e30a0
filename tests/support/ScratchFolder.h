#pragma once

#include <string>

// A new, empty folder under the temporary folder, removed with everything in
// it when the object goes.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A path inside the folder.
    std::wstring File(const std::wstring& name) const { return m_path + name; }

    // Writes the bytes into a new file of that name and returns its path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;
    // The whole content of a file, empty when it is missing.
    static std::string ReadFile(const std::wstring& path);

private:
    std::wstring m_path;
};
