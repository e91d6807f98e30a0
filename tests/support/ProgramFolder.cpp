#include "ProgramFolder.h"

#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/TextConvert.h"

#include <stdexcept>

ScopedProgramFolder::ScopedProgramFolder()
{
    g_appFolder = m_folder.File(L"");
    if (!CreateFolderTree(g_appFolder + L"cache"))
        throw std::runtime_error("cannot create the cache folder");
}

ScopedProgramFolder::~ScopedProgramFolder() { g_appFolder.clear(); }

std::wstring ScopedProgramFolder::CacheFile(const std::string& url) const
{
    return m_folder.File(L"cache\\" + GetFileNamePart(Utf8ToWide(url)));
}

void ScopedProgramFolder::WriteCacheFile(const std::wstring& name, const std::string& bytes) const
{
    m_folder.WriteFile(L"cache\\" + name, bytes);
}
