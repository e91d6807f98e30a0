#include "AppFolder.h"

std::wstring g_appFolder;
