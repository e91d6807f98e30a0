#pragma once

#include <string>
#include <vector>

// A new, empty folder under the temporary folder, removed with everything in
// it when the object goes. The removal never enters a link (junction or
// symbolic link): it takes the link away and leaves what it points to alone.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A path inside the folder.
    std::wstring File(const std::wstring& name) const { return m_path + name; }

    // True when the path, resolved as the file functions resolve it (against
    // the current folder and its drive), is this folder or lies below it.
    // Tests ask it before they hand a path to code that deletes or writes.
    bool Holds(const std::wstring& path) const;

    // Makes the name (a path inside the folder whose parent exists) a Linux
    // symbolic link to the Linux path target, and removes the link again with
    // the folder. Wine of this version makes no links of its own and cannot
    // delete one that leads to a device, so Linux's ln and rm do both. False
    // when the link did not show up.
    bool LinkOnHost(const std::wstring& name, const std::wstring& target);

    // Writes the bytes into a new file of that name and returns its path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;
    // The whole content of a file, empty when it is missing.
    static std::string ReadFile(const std::wstring& path);

private:
    struct HostLink
    {
        std::wstring path;       // as the tests reach it
        std::wstring linuxPath;  // as ln and rm take it
    };

    std::wstring m_path;
    std::vector<HostLink> m_hostLinks;  // removed before the folder
};

// Makes a folder the current one for the object's life and then returns to
// the previous one. Relative paths, and those relative to the current
// folder of its drive ("C:name"), then resolve inside that folder.
class ScopedCurrentFolder
{
public:
    explicit ScopedCurrentFolder(const std::wstring& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::wstring m_previous;
};
