#pragma once
// A scratch program folder for the code that works under g_appFolder, with the
// picture cache folder "cache" that the main window makes at start-up. The
// program folder is empty again when the object goes.

#include "ScratchFolder.h"

#include <string>

class ScopedProgramFolder
{
public:
    ScopedProgramFolder();
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

    // The path that the picture cache gives a URL's file name.
    std::wstring CacheFile(const std::string& url) const;
    // Writes the bytes into the named file of the cache folder.
    void WriteCacheFile(const std::wstring& name, const std::string& bytes) const;

private:
    ScratchFolder m_folder;
};
