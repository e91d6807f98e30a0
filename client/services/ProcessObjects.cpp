// The process-wide objects of the client, defined in one translation unit
// because only there does C++ fix their order: they are constructed top to
// bottom before wWinMain runs and destroyed bottom to top after it returns,
// so the log writer is gone before the folder it writes into and the session
// outlives both. Definitions spread over several files would be constructed
// in whatever order the linker happens to pick.

#include "services/AppFolder.h"
#include "services/SessionData.h"
#include "services/WriteLogFile.h"

CSessionData g_sessionData;
std::wstring g_appFolder;
CWriteLogFile g_logFile;
